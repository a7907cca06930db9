// The status pictures of the entry list and the window icon, drawn as pixel
// art so that they stay crisp at 16 x 16.
#pragma once

#include <QIcon>
#include <QList>
#include <QPixmap>

// Nine 16 x 16 pictures: 0 head (alive), 1 gravestone (dead), +2 a framed
// photo at the lower right (album), +4 a blue G at the right (genetics
// file), 8 a blue question mark (exported).
QList<QPixmap> makeEntriesImages();

// The window and application icon: the gravestone with its photo, 16 x 16.
QImage applicationIconArt();
QIcon makeWindowIcon();
