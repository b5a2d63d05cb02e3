#pragma once
// The first start: the buyer's own name, address, tax number and ticket
// series, before any document is made with the sample's.

#include "gui/entryscreen.h"

class TForm44 : public EntryScreen {
    Q_OBJECT
public:
    explicit TForm44(QWidget* parent = nullptr);

    QPushButton* letarol() const { return okButton(); }

protected:
    rec::Outcome saveRecord() override;
};
