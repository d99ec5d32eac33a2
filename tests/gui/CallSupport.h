// Simulated calls in the running program for the GUI tests: press Record, let the call run,
// press Record again, and read what was filed.
#pragma once

#include <QAction>
#include <QDir>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include "TChannelTable.h"
#include "TLiveSettings.h"
#include "TPelmApplication.h"
#include "TdmRecorder.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"

struct TFiledCall {
    int Channel = -1;
    int InOut = -1;
    QString FileName;
    int FileSizeKb = -1;
    QString Path;  // of the recording
};

inline QToolButton* RecordButton(TPelmApplication& p) {
    return p.MainWindow()->findChild<QToolButton*>("btnRecord");
}
inline QAction* RecordItem(TPelmApplication& p) {
    return p.MainWindow()->findChild<QAction*>("mmiRecord");
}

// The Calls records, oldest first.
inline std::vector<TFiledCall> FiledCalls(TPelmApplication& p) {
    std::vector<TFiledCall> calls;
    TVolgaTable& t = p.Database()->tblCalls;
    t.SetFiltered(false);
    for (t.First(); !t.Eof(); t.Next()) {
        TFiledCall c;
        c.Channel = static_cast<int>(t.FieldByName("Channel").AsInteger());
        c.InOut = static_cast<int>(t.FieldByName("inOut").AsInteger());
        c.FileName = QString::fromStdString(t.FieldByName("fileName").AsString());
        c.FileSizeKb = static_cast<int>(t.FieldByName("fileSize").AsInteger());
        c.Path = TLiveSettings::Instance().edtFolder + c.FileName;
        calls.push_back(c);
    }
    return calls;
}

// Presses Record, waits `ms` milliseconds of the call and presses Record again. The call is
// recorded whatever its direction: a call longer than both short-call limits is kept.
inline void RecordCall(TPelmApplication& p, int ms) {
    QToolButton* record = RecordButton(p);
    QVERIFY(record && record->isEnabled());
    QTest::mouseClick(record, Qt::LeftButton);
    QVERIFY(p.Recorder()->CallActive());
    QVERIFY(record->isChecked());
    QVERIFY(RecordItem(p)->isChecked());
    QTest::qWait(ms);
    QTest::mouseClick(record, Qt::LeftButton);
    QVERIFY(!p.Recorder()->CallActive());
    QVERIFY(!record->isChecked());
    QVERIFY(!RecordItem(p)->isChecked());
}

inline bool IsFinalName(const QString& name, const QString& extension) {
    return QRegularExpression("^[01]_20\\d{6}_\\d{6}\\" + extension + "$").match(name).hasMatch();
}
