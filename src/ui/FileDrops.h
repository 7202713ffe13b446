#pragma once

class QWidget;

namespace tavu {

class Bot;

// Makes the window take files and folders dropped from a file manager (dropFiles).
void installFileDrops(QWidget* window, Bot& bot);

} // namespace tavu
