#pragma once
// Producer entry: a new producer or a change of the list's current one.

#include "gui/entryscreen.h"

class QCheckBox;
class QPlainTextEdit;
class QTabWidget;

class TForm5 : public EntryScreen {
    Q_OBJECT
public:
    TForm5(Mode mode, QWidget* parent = nullptr);

    static const char* const UjMode;       // "Új őstermelő"
    static const char* const ModositasMode; // "Őstermelő módositás"


    // Copies the current row of ZQ30 into the fields; false (after Hiba51) when it fails.
    bool load() override;
    // One more than the greatest numeric producer code, five digits wide.
    static QString ujKod();

    QCheckBox* uresTaj() const { return uresTaj_; }
    QPlainTextEdit* feljegyzes() const { return feljegyz_; }
    QTabWidget* tabs() const { return tabs_; }

protected:
    rec::Outcome saveRecord() override;
    void afterWrite() override;
    void revealField(QWidget*) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QCheckBox* uresTaj_;
    QPlainTextEdit* feljegyz_;
    QTabWidget* tabs_;
};
