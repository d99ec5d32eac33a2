// Stand-ins for the sound card and for the layers the recording path calls.
#pragma once

#include <QFile>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "IAlarmCalls.h"
#include "IAudioInput.h"
#include "IAudioRecorder.h"
#include "IMixer.h"
#include "IStorageRuns.h"

// A capture device that writes a fixed number of bytes into the file when stopped.
class FakeAudioRecorder : public IAudioRecorder {
public:
    int codec = -1;
    QString fileName;
    bool running = false;
    bool failStart = false;
    int starts = 0, stops = 0;
    QByteArray content = QByteArray(4096, 'a');
    bool SetCodec(int item) override {
        codec = item;
        return item >= 0 && item <= 4;
    }
    void SetFileName(const QString& f) override { fileName = f; }
    void SetSaveToFile(bool) override {}
    void Start() override {
        ++starts;
        if (failStart) throw std::runtime_error("Error opening audio device for input.\nBad device ID.");
        QFile f(fileName);
        if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot create file");
        running = true;
    }
    void Stop() override {
        if (!running) return;
        ++stops;
        QFile f(fileName);
        if (f.open(QIODevice::WriteOnly)) f.write(content);
        running = false;
    }
    bool Running() const override { return running; }
};

class FakeMixer : public IMixer {
public:
    int selected = 0, restored = 0;
    bool SelectMicrophone() override {
        ++selected;
        return true;
    }
    bool RestoreRecordingInput() override {
        ++restored;
        return true;
    }
};

class RecordingAlarms : public IAlarmCalls {
public:
    QStringList calls;
    void QueueOverTimeAlarm(int n) override { calls << QString("overtime %1").arg(n); }
    void SendOverTimeMail(int n) override { calls << QString("overtime mail %1").arg(n); }
    void QueueSoftwareAlarm(int n) override { calls << QString("software %1").arg(n); }
    void SendSoftwareErrorMail() override { calls << "software mail"; }
    void QueueHddFullAlarm() override { calls << "hdd full"; }
    void SendHddFullMail() override { calls << "hdd full mail"; }
};

class RecordingStorage : public IStorageRuns {
public:
    bool recycling = false, backingUp = false;
    QStringList calls;
    bool RecycleRunning() const override { return recycling; }
    bool BackupRunning() const override { return backingUp; }
    void StartRecycleRun() override {
        calls << "recycle";
        recycling = true;
    }
    void StartBackupRun() override {
        calls << "backup";
        backingUp = true;
    }
};

// A sound card's input driven by the test: Deliver() hands over audio in the buffers the
// recorder asked for, as the device's callbacks would.
class ManualAudioInput : public IAudioInput {
public:
    int bufferSize = 0, bufferCount = 0, opens = 0, closes = 0;
    bool open = false;
    bool failOpen = false;
    void Open(int size, int count) override {
        ++opens;
        if (failOpen) throw std::runtime_error("Error opening audio device for input.\nBad device ID.");
        bufferSize = size;
        bufferCount = count;
        open = true;
    }
    void Close() override {
        if (open) ++closes;
        open = false;
    }
    bool IsOpen() const override { return open; }
    // Whole buffers only, as a device fills them; stops when the input is closed.
    void Deliver(const std::vector<uint8_t>& audio) {
        for (size_t at = 0; open && bufferSize > 0 && at + size_t(bufferSize) <= audio.size();
             at += size_t(bufferSize))
            if (OnData)
                OnData(QByteArray(reinterpret_cast<const char*>(audio.data() + at), bufferSize));
    }
    void Lose(const QString& reason) {
        if (OnFailure) OnFailure(reason);
    }
};
