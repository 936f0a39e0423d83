#include "Mainform.h"

namespace vesk {

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Vesk-2.0"));
    resize(1024, 768);
}

TMainForm::~TMainForm() = default;

} // namespace vesk
