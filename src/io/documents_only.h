#pragma once
// A race folder comes from a club's website. Its attachments and help pages
// are handed to the desktop's opener, which would also run a launcher, a
// script or a program; only documents are handed on.

#include <QString>

namespace keelrun {

// Empty when `path` is a document the desktop may open (PDF, HTML, text,
// pictures, office documents, videos, told by content); else why it is not
// opened, for the user.
QString documentRefusal(const QString &path);

}  // namespace keelrun
