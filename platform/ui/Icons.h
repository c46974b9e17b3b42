#pragma once
// Icons kept as resources, drawn at the size asked for. A null pixmap for an unknown id.

#include <QPixmap>

QPixmap WoxLoadIconPixmap(int nId, int nSize);
