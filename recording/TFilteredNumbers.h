// The filtered-numbers list: numbers whose calls are not kept (caller numbers of incoming
// calls, dialled digits of outgoing calls), in the table "Filtered.d".
#pragma once

#include <QString>
#include <memory>

#include "TVolgaTable.h"

class TVolgaDatabase;

class TFilteredNumbers {
public:
    explicit TFilteredNumbers(TVolgaDatabase* database);

    // Opens the table, or creates it when the file is missing. A file that cannot be opened is
    // reported ("Can not open Filtered.d") and the list stays closed.
    void Open();
    TVolgaTable& tblFiltered() { return table_; }

    // The list shown: only the entries of one direction (0 incoming, 1 outgoing).
    void ShowDirection(int direction);
    void ShowAll();
    int Direction() const { return direction_; }

    // Changes, each saved to the file at once. False when the list is closed or the number is
    // empty.
    bool Add(const QString& number);
    bool EditCurrent(const QString& number);
    bool DeleteCurrent();

    // At call end: true when an entry of the direction begins with the call's number (an empty
    // number matches nothing). Looks at every entry of the direction whatever the list shows;
    // never raises: a closed list matches nothing.
    bool IsFiltered(const QString& number, int direction) const;

private:
    void SetFields(const QString& number);
    TVolgaTable table_;
    int direction_ = 0;
};
