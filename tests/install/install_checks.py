"""What the install and package checks share: the application's id, and checks that are
counted and reported rather than stopping at the first failure."""
import sys

APP_ID = "org.example.Pelmorant"
FAILURES = []


def check(condition, message):
    if not condition:
        FAILURES.append(message)
        print("FAIL: " + message, file=sys.stderr)
    return condition
