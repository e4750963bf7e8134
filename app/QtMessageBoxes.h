#pragma once
// The message boxes as the user sees them: Qt dialogs behind the program's one seam.

#include "MessageBoxes.h"

class QtMessageBoxes : public MessageBoxes {
public:
    // Installs itself into the seam for its lifetime, restoring what was there before.
    QtMessageBoxes();
    ~QtMessageBoxes() override;
    QtMessageBoxes(const QtMessageBoxes&) = delete;
    QtMessageBoxes& operator=(const QtMessageBoxes&) = delete;

    void show(const BoxRequest& request) override;

private:
    MessageBoxes* previous_;
};
