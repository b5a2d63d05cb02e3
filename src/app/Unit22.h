#pragma once
// "Adatbázis": the raw table view, with cell editing behind an access code.

#include "rawedit.h"

#include <QDialog>
#include <memory>
#include <vector>

class DBGrid;
class DBNavigator;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QWidget;
class TTable;

// The raw table view: the six main tables in grids, read-only until an access
// code opens them. A row is edited in its grid's cells (double click, F2 or
// typing; Enter or leaving the row posts it, Esc cancels) or in the row editor
// under the grid, which also takes new rows and long texts. Each posted row is
// written by its ID and committed at once.
class TForm22 : public QDialog {
    Q_OBJECT
public:
    explicit TForm22(QWidget* parent = nullptr);
    ~TForm22() override;

    rawedit::Access access() const { return access_; }
    QTabWidget* PageControl1;
    QPushButton* BitBtn1; // "Szerkeszt"
    QPushButton* BitBtn2; // "Mégsem"

    void SzerkesztClick();
    void applyCode(const QString& code);

    // Row editing of a tab (0..5), as the navigator's buttons do; startEdit
    // opens the row editor on the current row.
    bool startEdit(int tab);
    bool startInsert(int tab);
    bool post(int tab);
    void cancel(int tab);
    bool removeCurrent(int tab);
    void refresh(int tab);
    bool editing(int tab) const;
    // The typed text of a column of the row in edit (grid cell and row editor alike).
    void setEditorText(int tab, const QString& column, const QString& text);
    QString editorText(int tab, const QString& column) const;

    void done(int r) override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    struct Cells;
    enum class Mode { None, Edit, Insert };
    struct Page {
        QString table;
        TTable* t = nullptr;
        QWidget* page = nullptr;
        DBGrid* grid = nullptr;
        DBNavigator* nav = nullptr;
        QWidget* editBar = nullptr;
        QTableWidget* editor = nullptr;
        QStringList columns; // writable columns, read when the table opens for editing
        Mode mode = Mode::None;
        qint64 id = 0;
        rawedit::Values original;
        rawedit::Values typed;
    };
    void applyAccess();
    qint64 rowId(const Page& p, int row) const;
    bool beginEdit(Page& p, int row);
    void fillEditor(Page& p);
    void showTyped(Page& p);
    void closeEditor(Page& p);
    bool postRow(int tab, qint64 standOn);
    void rowLeft(int tab);
    void backToEditedRow(int tab);
    void reopenAt(Page& p, qint64 id);
    bool restoreReadOnly();
    std::vector<Page> pages_;
    std::vector<std::unique_ptr<Cells>> cells_;
    bool filling_ = false;
    rawedit::Access access_ = rawedit::Access::ReadOnly;
    bool closing_ = false;
};
