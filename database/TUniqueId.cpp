#include "TUniqueId.h"

#include <mutex>

#include "TClock.h"

namespace {

const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr long long k62_2 = 62LL * 62;
constexpr long long k62_3 = 62LL * 62 * 62;

std::mutex counterMutex;
bool started = false;
long long counter = 0;

void Put(QString& out, long long value, int width) {
    QString digits(width, '0');
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = QChar(kDigits[value % 62]);
        value /= 62;
    }
    out += digits;
}

}  // namespace

QString GenerateUniqueIdAt(const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    const int h = time.hour(), m = time.minute(), s = time.second(), ms = time.msec();
    long long seq;
    {
        std::lock_guard<std::mutex> lock(counterMutex);
        if (!started) {
            counter = h * 60 + m;
            started = true;
        } else {
            ++counter;
        }
        if (counter >= k62_2) counter = 0;
        seq = counter;
    }
    long long hours = QDate(2000, 11, 1).daysTo(date) * 24 + h;
    if (hours >= k62_3) hours -= k62_3;
    // Beyond twice the field's range (about the year 2055) the hours wrap around.
    hours %= k62_3;
    if (hours < 0) hours += k62_3;
    QString id;
    Put(id, hours, 3);
    Put(id, m * 60 + s, 2);
    Put(id, ((ms / 10) * k62_2) / 2 + seq, 3);
    return id;
}

QString GenerateUniqueId() { return GenerateUniqueIdAt(TClock::Instance().Now()); }

void ResetUniqueIdCounter() {
    std::lock_guard<std::mutex> lock(counterMutex);
    started = false;
    counter = 0;
}
