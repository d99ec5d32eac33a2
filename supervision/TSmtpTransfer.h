// One SMTP conversation through libcurl: connect to the server, send one message without
// authentication, and end with QUIT. A transfer is plain data, made on one thread and run on
// another; Run reads only its own members and the stop flag it is given, and may run on any
// thread (several transfers may run at once, each on its own thread).
#pragma once

#include <atomic>
#include <string>
#include <vector>

class TSmtpTransfer {
public:
    enum class TResult {
        Sent,           // the server took the message
        ConnectFailed,  // no server answered: refused, unknown host, or no greeting in time
        SendFailed,     // the server greeted us, then the conversation failed or timed out
        Aborted,        // the stop flag ended it
    };
    struct TOutcome {
        TResult Result = TResult::ConnectFailed;
        // After a sent message the QUIT got no answer. A failed conversation ends by simply
        // closing the connection, which cannot fail, so this is false then.
        bool DisconnectFailed = false;
        std::string Error;  // libcurl's description of a failure, for diagnostics
    };

    std::string Host;  // name or address; an IPv6 address without brackets
    int Port = 25;
    std::string HeloName;                 // the name we give in EHLO/HELO; empty: libcurl's
    std::string From;                     // the MAIL FROM argument, "<address>"
    std::vector<std::string> Recipients;  // RCPT TO arguments, "<address>" each, in order
    std::string Content;                  // the message: headers, empty line, body; CRLF ends
    int ConnectTimeoutMs = 10000;         // connection and the server's greeting
    int TransferTimeoutMs = 30000;        // the whole conversation, and the wait for QUIT's answer

    // Runs the conversation. `stop` is checked at least once a second; when it turns true
    // the conversation is abandoned and the result is Aborted.
    TOutcome Run(const std::atomic<bool>& stop) const;
};
