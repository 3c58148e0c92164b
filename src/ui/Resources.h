#pragma once

// Registers the program's images (tool bar, glyphs, icon, About pictures).
// They are compiled into a static library, so every user calls this once
// before loading one; later calls do nothing.
void InitVeltaroResources();
