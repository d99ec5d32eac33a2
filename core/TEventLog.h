// The event log: timestamped channel and general lines, held in memory and kept in the log
// file. Each line is added to the end of the file as it is appended, so a killed session keeps
// its lines; a whole write (overflow, orderly close) makes the file equal to the store. Appends
// may come from any thread; each append with its file write, overflow check and save is one
// indivisible step.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <mutex>

class TEventLog : public QObject {
    Q_OBJECT
public:
    static constexpr int kCapacity = 10000;

    explicit TEventLog(QObject* parent = nullptr);

    // Loads the file into the store (a missing file leaves it empty) and remembers where the
    // store is saved.
    void Load(const QString& fileName);
    const QString& FileName() const { return fileName_; }

    // "T  <#n> (message)" and "T  (message)". Throws std::runtime_error when an overflow save
    // fails (the store is then kept, and the next append tries again).
    void LogChannel(int channel, const QString& message);
    void LogGeneral(const QString& message);

    // Writes the whole store to the file, replacing it. False with `error` on failure.
    bool Save(QString* error = nullptr);
    void Clear();
    QStringList Lines() const;
    int LineCount() const;

    // The line text for a time (exposed for tests).
    static QString FormatLine(double when, int channel, const QString& message);

    // The program's log (null before the log window exists).
    static TEventLog* Instance();
    static void SetInstance(TEventLog* log);

signals:
    // Emitted after every change; queued to the main thread for the window.
    void lineAppended(const QString& line);
    void cleared();

private:
    void Append(const QString& line);
    bool SaveLocked(QString* error);
    void AppendToFileLocked(const QString& line);

    mutable std::recursive_mutex mutex_;
    QStringList lines_;
    QString fileName_;
};

// Shorthands used throughout the program.
void LogChannel(int channel, const QString& message);
void LogGeneral(const QString& message);
