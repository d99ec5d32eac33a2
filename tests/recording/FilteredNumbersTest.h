// A filtered-numbers list over a data folder of its own, for the list's tests and its dialog's.
#pragma once

#include <memory>

#include "DatabaseFixture.h"
#include "TFilteredNumbers.h"
#include "TVolgaDatabase.h"

class FilteredNumbersTest : public DatabaseFixture {
protected:
    void SetUp() override {
        DatabaseFixture::SetUp();
        db.SetDatabasePath(globals.AppDataDir.toStdString());
        list = std::make_unique<TFilteredNumbers>(&db);
        list->Open();
    }
    void AddNumber(int direction, const QString& number) {
        list->ShowDirection(direction);
        ASSERT_TRUE(list->Add(number));
    }
    TVolgaDatabase db;
    std::unique_ptr<TFilteredNumbers> list;
};
