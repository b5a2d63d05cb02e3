#pragma once
// Product entry: a new product or a change of the list's current one.

#include "gui/entryscreen.h"

class TForm7 : public EntryScreen {
    Q_OBJECT
public:
    TForm7(Mode mode, QWidget* parent = nullptr);

    static const char* const UjMode;        // "Új termék"
    static const char* const ModositasMode; // "Termék módositás"


    // Copies the current row of ZQ40 into the fields; false (after Hiba71) when it fails.
    bool load() override;
    // One more than the greatest numeric product code, five digits wide.
    static QString ujKod();

protected:
    rec::Outcome saveRecord() override;
    void afterWrite() override;
};
