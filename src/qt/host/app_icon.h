// The client's icon, drawn in code: a calendar page with a bell, for the windows, the task bar
// and the tray. The build also writes it as PNG files for the desktop entry (draw_icon.cpp).
#pragma once

#include <QIcon>
#include <QImage>

namespace lembrete {

// The icon at `size` x `size` pixels, transparent around the page.
QImage drawAppIcon(int size);
// Every size the desktop asks for (16 to 256 pixels).
QIcon appIcon();

inline constexpr int kAppIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

}  // namespace lembrete
