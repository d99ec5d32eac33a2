#!/usr/bin/python3
"""A mail server on 127.0.0.1 for the alarm e-mail tests.

Usage: smtp_sink.py MODE FOLDER

  store     an SMTP server (aiosmtpd) that saves each message as FOLDER/<n>.json with its
            envelope sender, envelope recipients and raw content
  norcpt    the same server, but it refuses every recipient (550)
  noquit    the same server, but it never answers QUIT
  silent    accepts connections and never says a word
  refuse    holds a port that nothing listens on, so connections are refused

Prints "READY <port>" on its first line once the port can be used, then runs until it is
terminated (SIGTERM) or its standard input is closed.
"""
import asyncio
import email.parser
import email.policy
import json
import os
import signal
import socket
import sys
import threading


def describe(envelope):
    """The envelope, the raw message, and its headers as Python's mail parser reads them."""
    raw = envelope.original_content
    msg = email.parser.BytesParser(policy=email.policy.default).parsebytes(raw)

    def mailboxes(name):
        header = msg[name]
        return [[a.display_name, a.addr_spec] for a in header.addresses] if header else None

    return {"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos,
            "content": raw.decode("utf-8", "replace"),
            "body": raw.split(b"\r\n\r\n", 1)[-1].decode("utf-8", "replace"),
            "subject": str(msg["Subject"]),
            "content_type": msg.get_content_type(), "charset": msg.get_content_charset(),
            "from": mailboxes("From"), "reply_to": mailboxes("Reply-To"), "to": mailboxes("To"),
            "date": msg["Date"].datetime.isoformat() if msg["Date"] else None}


class Store:
    def __init__(self, folder, mode):
        self.folder = folder
        self.mode = mode
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.mode == "norcpt":
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        # Saved before the reply, so a client that has its 250 finds the file.
        self.count += 1
        path = os.path.join(self.folder, "%d.json" % self.count)
        text = json.dumps(describe(envelope), ensure_ascii=False)
        with open(path + ".tmp", "w", encoding="utf-8") as f:
            f.write(text)
        os.rename(path + ".tmp", path)
        return "250 Message accepted"

    async def handle_QUIT(self, server, session, envelope):
        if self.mode == "noquit":
            await asyncio.sleep(3600)
        return "221 Bye"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_end():
    # Ends on SIGTERM, or when the test closes our standard input (also when it dies).
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    threading.Thread(target=lambda: (sys.stdin.read(), done.set()), daemon=True).start()
    done.wait()


def main():
    mode, folder = sys.argv[1], sys.argv[2]
    held = []
    if mode in ("store", "norcpt", "noquit"):
        from aiosmtpd.controller import Controller
        controller = Controller(Store(folder, mode), hostname="127.0.0.1", port=free_port())
        controller.start()
        port = controller.port
    elif mode == "silent":
        s = socket.socket()
        s.bind(("127.0.0.1", 0))
        s.listen(16)
        port = s.getsockname()[1]
        held.append(s)

        def accept():
            while True:
                conn, _ = s.accept()
                held.append(conn)  # kept open, never written to
        threading.Thread(target=accept, daemon=True).start()
    elif mode == "refuse":
        s = socket.socket()
        s.bind(("127.0.0.1", 0))  # bound, never listening: connections get a reset
        port = s.getsockname()[1]
        held.append(s)
    else:
        sys.exit("unknown mode " + mode)
    print("READY %d" % port, flush=True)
    wait_for_end()
    os._exit(0)


if __name__ == "__main__":
    main()
