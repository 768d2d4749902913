#pragma once
// The program's Prompter: messages as modal message boxes.
#include "base/Prompter.h"

class QWidget;

namespace pellam {

// Shows messages as modal message boxes over `parent`.
class MessageBoxPrompter : public Prompter {
public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : m_parent(parent) { }
    void setParent(QWidget* parent) { m_parent = parent; }
    void Show(const Message& message) override;
    bool Ask(const Message& question) override;
    void Beep() override;

private:
    QWidget* m_parent;
};

} // namespace pellam
