// The configuration window over the stores of ConfigStoresFixture: created and loaded as at a
// program start, restarted on the same files, and shown as the Settings command shows it.
#pragma once

#include <QApplication>
#include <QTimer>
#include <memory>

#include "ConfigStoresFixture.h"
#include "TfmConfig.h"

class SupervisionFixture : public ConfigStoresFixture {
protected:
    void TearDown() override {
        config.reset();
        ConfigStoresFixture::TearDown();
    }

    // The configuration window created and loaded, as at a program start.
    TfmConfig& CreateConfig() {
        config = std::make_unique<TfmConfig>(*globals, settings, *channels, table.get());
        config->FormCreate();
        return *config;
    }

    // The program ends (the window writes its position) and starts again on the same files.
    TfmConfig& Restart() {
        config.reset();
        table.reset();
        OpenStores();
        return CreateConfig();
    }

    // The dialog shown as the Settings command shows it (without the modal loop).
    void Show() {
        config->show();
        QApplication::processEvents();
    }

    std::unique_ptr<TfmConfig> config;
};

// Runs `step` on the modal window that is open at the next turn of the event loop.
template <class F>
void WhenModal(F step) {
    QTimer::singleShot(0, [step] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        step(w);
    });
}
