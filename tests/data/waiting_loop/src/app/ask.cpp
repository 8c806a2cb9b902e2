// A window that waits for a dialog in a loop of its own.
#include <QDialog>

void ask(QDialog &dialog) { dialog.exec(); }
