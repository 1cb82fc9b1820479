#pragma once
class QLabel;
class QProgressBar;
class QWidget;

// The widgets of a shown progress dialog, found in its window.
struct ProgressView
{
    explicit ProgressView(QWidget* window);

    QLabel* title = nullptr;   // the form's own title label
    QLabel* percent = nullptr; // rides above the bar
    QLabel* content = nullptr; // the line under the bar
    QProgressBar* bar = nullptr;
};
