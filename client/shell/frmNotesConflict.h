#pragma once
// Shown when the notes the user is typing were changed meanwhile by another estimator: both
// versions side by side, and the choice to keep the other's, one's own, or both.
#include "store/SharedNotes.h"

#include <QDialog>

namespace brevant::shell {

class frmNotesConflict : public QDialog {
    Q_OBJECT
public:
    frmNotesConflict(const QString& mine, const QString& theirs, QWidget* parent = nullptr);
    // Both until the user chose otherwise (also when the window is closed: nothing is lost).
    store::NotesChoice choice() const { return choice_; }

private:
    store::NotesChoice choice_ = store::NotesChoice::Both;
};

} // namespace brevant::shell
