// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// Nexolan's icon, with its 16 x 16 and 32 x 32 images (drawn from icons/nexolan.svg).
QIcon appIcon();
