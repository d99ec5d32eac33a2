#include "TFilteredNumbers.h"

#include <QFileInfo>

#include "RecordingTexts.h"
#include "TEventLog.h"
#include "TMessages.h"
#include "TUniqueId.h"
#include "TVolgaDatabase.h"

TFilteredNumbers::TFilteredNumbers(TVolgaDatabase* database) : table_(database) {
    table_.Name = "tblFiltered";
    table_.OnFilterRecord = [this](TVolgaDataset& ds, bool& accept) {
        accept = ds.FieldByName("Direction").AsInteger() == direction_;
    };
}

void TFilteredNumbers::Open() {
    table_.SetTableName(RecordingTexts::kFilteredFile);
    if (QFileInfo::exists(QString::fromStdString(table_.FileName()))) {
        try {
            table_.Open();
            table_.First();
        } catch (const std::exception&) {
            ShowMessage(QString(RecordingTexts::kCanNotOpen) + RecordingTexts::kFilteredFile);
        }
        return;
    }
    using FT = TFieldType;
    table_.FieldDefs = {{"FilteredID", FT::ftString, 10}, {"Channel", FT::ftInteger, 0},
                        {"number", FT::ftString, 20},     {"Direction", FT::ftInteger, 0},
                        {"bool1", FT::ftBoolean, 0},      {"bool2", FT::ftBoolean, 0},
                        {"st1", FT::ftString, 255},       {"st2", FT::ftString, 255},
                        {"real1", FT::ftFloat, 0},        {"real2", FT::ftFloat, 0}};
    try {
        table_.CreateTable();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
    }
}

void TFilteredNumbers::ShowDirection(int direction) {
    direction_ = direction;
    if (!table_.Active()) return;
    table_.SetFiltered(false);
    table_.SetFiltered(true);
}

void TFilteredNumbers::ShowAll() {
    if (table_.Active()) table_.SetFiltered(false);
}

void TFilteredNumbers::SetFields(const QString& number) {
    table_.FieldByName("Channel").SetAsInteger(0);
    table_.FieldByName("number").SetAsString(number.toStdString());
    table_.FieldByName("Direction").SetAsInteger(direction_);
    table_.FieldByName("bool1").SetAsBoolean(false);
    table_.FieldByName("bool2").SetAsBoolean(false);
    table_.FieldByName("st1").SetAsString(" ");
    table_.FieldByName("st2").SetAsString(" ");
    table_.FieldByName("real1").SetAsFloat(0);
    table_.FieldByName("real2").SetAsFloat(0);
}

bool TFilteredNumbers::Add(const QString& number) {
    if (number.isEmpty() || !table_.Active()) return false;
    try {
        table_.Append();
        table_.FieldByName("FilteredID").SetAsString(GenerateUniqueId().toStdString());
        SetFields(number);
        table_.Post();
        table_.SaveChanges();
    } catch (const std::exception& e) {
        table_.Cancel();
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool TFilteredNumbers::EditCurrent(const QString& number) {
    if (number.isEmpty() || !table_.Active() || table_.IsEmpty()) return false;
    try {
        table_.Edit();
        SetFields(number);
        table_.Post();
        table_.SaveChanges();
    } catch (const std::exception& e) {
        table_.Cancel();
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool TFilteredNumbers::DeleteCurrent() {
    if (!table_.Active() || table_.IsEmpty()) return false;
    try {
        table_.Delete();
        table_.SaveChanges();
    } catch (const std::exception& e) {
        ShowMessage(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool TFilteredNumbers::IsFiltered(const QString& number, int direction) const {
    if (number.isEmpty()) return false;
    if (!table_.Active()) return false;
    TVolgaCursor* cursor = table_.Cursor();
    const TVolgaField* num = cursor->FieldByName("number");
    const TVolgaField* dir = cursor->FieldByName("Direction");
    if (!num || !dir) return false;
    const std::string wanted = number.toStdString();
    for (const auto& r : cursor->Records()) {
        if (!r->IsLive() || dir->GetInt(r->Data) != direction) continue;
        if (num->GetText(r->Data).compare(0, wanted.size(), wanted) == 0 &&
            num->GetText(r->Data).size() >= wanted.size())
            return true;
    }
    return false;
}
