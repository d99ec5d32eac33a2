#include "TAlarmsPage.h"

#include <QVBoxLayout>

TAlarmsPage::TAlarmsPage(QWidget* parent) : QWidget(parent) {
    setObjectName("tsAlarms");
    setAccessibleName("Alarms");
    new QVBoxLayout(this);
}
