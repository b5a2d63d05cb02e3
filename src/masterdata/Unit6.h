#pragma once
// The product list: browsing, sort, new/change/delete, print; also the product
// picker of the ticket line entry (which reads ZQ40's current row after it).

#include "gui/pickerscreen.h"

class TForm6 : public PickerScreen {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    static const char* const StatusMegnevezes; // "Termék lista, "Megnevezés" szerint"

    void sortByTitle(int column); // a column title clicked
    void nyomtatClick() override;

protected:
    void firstShow() override;
    void titleClicked(int section) override { sortByTitle(section); }
    std::unique_ptr<EntryScreen> makeEntry(bool modify) override;
    QString statusAfterSave() const override { return StatusMegnevezes; }
    rec::Outcome removeCurrent() override;
    QString removedText() const override { return "Az termék sor törlölve!"; }
};
