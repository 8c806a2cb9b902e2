// A window that asks with one of Qt's static dialogs, each a loop of its own.
#include <QMessageBox>

bool ask(QWidget *parent) { return QMessageBox::question(parent, "Keelrun", "Hide?") == QMessageBox::Yes; }
