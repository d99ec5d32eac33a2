// What the recording path and the calls database ask of the alarm layer: queued alarms and
// their e-mails. Implemented by supervision; every call is made on the main thread.
#pragma once

class IAlarmCalls {
public:
    virtual ~IAlarmCalls() = default;
    virtual void QueueOverTimeAlarm(int channel) = 0;
    virtual void SendOverTimeMail(int channel) = 0;
    virtual void QueueSoftwareAlarm(int channel) = 0;
    virtual void SendSoftwareErrorMail() = 0;
    virtual void QueueHddFullAlarm() = 0;
    virtual void SendHddFullMail() = 0;
};
