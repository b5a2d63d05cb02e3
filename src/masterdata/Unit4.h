#pragma once
// The producer list: browsing, search, sort, new/change/delete, print; also
// the producer picker of other screens (they read ZQ30's current row after it).

#include "gui/pickerscreen.h"

class TForm4 : public PickerScreen {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    static const char* const StatusInitial;
    static const char* const StatusAfterSave;
    static const char* const NyomtatottUzenet;

    void frissit();                // re-run the list and position on the remembered code
    void keres();                  // search by the name prefix of the "Név:" field
    void sortByCursorColumn();     // column title clicked
    void modositClick() override;
    // Opens the current producer for change; without the printed-ticket lock
    // when skipLock (the service keys).
    void modosit(bool skipLock);
    void nyomtatClick() override;

    QLineEdit* nevKereso() const { return search_; }

    // Either letter, pressed while "Módosít" has the focus, opens the current
    // producer for change without the printed-ticket lock (service use).
    static constexpr int ServiceKey1 = Qt::Key_X;
    static constexpr int ServiceKey2 = Qt::Key_Y;

protected:
    void firstShow() override;
    void titleClicked(int) override { sortByCursorColumn(); }
    QString panelValue(const QString& key) const override;
    std::unique_ptr<EntryScreen> makeEntry(bool modify) override;
    QString statusAfterSave() const override { return StatusAfterSave; }
    rec::Outcome removeCurrent() override;
    QString removedText() const override { return "Az őstermelő sor törlölve!"; }
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QLineEdit* search_;
    QPushButton* modosit_;
};
