#include "TMainPages.h"

#include "TAlarmsPage.h"
#include "TLoggerPage.h"
#include "TMonitorPage.h"
#include "TPlayerPanel.h"
#include "TSearchPage.h"

TMainPages TMainPages::Create() {
    TMainPages pages;
    pages.Player = new TPlayerPanel;
    pages.Logger = new TLoggerPage;
    pages.Search = new TSearchPage;
    pages.Monitor = new TMonitorPage;
    pages.Alarms = new TAlarmsPage;
    return pages;
}
