#pragma once
class QLabel;
class QWidget;

// Adds the code lookup cell and the code panel button at height `y`; returns the height below them.
int addLookupSection(QWidget* window, int y, QLabel* status);
