#pragma once
// Every message box of the program goes through one Prompter, so tests can
// replace the modal dialog by a recorder that never blocks.
#include "workspace/Message.h"

class QWidget;

namespace pellam {

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void Show(const Message& message) = 0;
    // The short system sound some failures give.
    virtual void Beep() = 0;
};

// Shows messages as modal message boxes over `parent`.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    void Show(const Message& message) override;
    void Beep() override;

private:
    QWidget* m_parent;
};

} // namespace pellam
