#pragma once
// The project assignment dialog: the attachment dialog's behaviour with its own texts, and an
// empty name refused on OK.
#include "store/frmAttach.h"

namespace brevant::store {

class frmAssign : public frmAttach {
    Q_OBJECT
public:
    explicit frmAssign(QString& result, QWidget* parent = nullptr);

protected:
    bool acceptText(const QString& text) override;
};

} // namespace brevant::store
