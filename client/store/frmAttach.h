#pragma once
// The attachment description dialog: a modal text entry whose answer goes into the main
// window's DialogResult — the entered text on OK (even empty), "~~CANCEL~~" when the user
// confirms cancelling. frmAssign is the same dialog with its own texts and a refusal of an
// empty name. Also fills the attachment list's rows.
#include "store/Attachments.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace brevant::store {

class frmAttach : public QDialog {
    Q_OBJECT
public:
    // result is the main window's DialogResult; it is set empty here, as when the form loads.
    explicit frmAttach(QString& result, QWidget* parent = nullptr);

    // Shows the dialog modally and returns the result.
    QString Ask();

    // The role of an attachment row holding the stored copy's full path.
    static constexpr int kAttachmentPathRole = Qt::UserRole + 2;
    // The hash of the bytes a firm store keeps for the row (empty on SQLite).
    static constexpr int kAttachmentContentRole = Qt::UserRole + 3;

    // Fills the attachment list (ListView5) with the rows: file name, description, added;
    // each row's icon name (AttachmentIconName) is its Qt::UserRole data and its stored
    // folder (the Path column) its AttachmentFolderRole data.
    static constexpr int AttachmentFolderRole = Qt::UserRole + 1;
    static void FillAttachmentList(QTreeWidget* listView, const std::vector<AttachmentRow>& rows);

    void OKButton_Click();
    void CancelButton_Click();

protected:
    struct Texts {
        QString caption;
        QString label;
        QString cancelQuestion;
    };
    frmAttach(QString& result, const Texts& texts, QWidget* parent);
    // Whether OK may take the text; the assignment dialog refuses an empty name.
    virtual bool acceptText(const QString& text);

    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Esc: as the CANCEL button

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    bool askCancel();
    QString& result_;
    QString cancelQuestion_;
    bool closing_ = false; // closed by OK or a confirmed cancel
};

} // namespace brevant::store
