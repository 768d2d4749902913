#pragma once
// The place of one secondary window of the main window: at most one is open;
// asked again, the open one is raised instead of a second one made. A window
// that closes (and deletes itself) leaves the slot empty.
#include <QPointer>
#include <QWidget>

namespace pellam {

template<class T>
class WindowSlot {
public:
    // The open window, raised; else the one `make` returns, shown.
    template<class Make>
    T* OpenOrRaise(Make&& make)
    {
        if (m_window) {
            m_window->raise();
            return m_window;
        }
        return Show(make());
    }
    // Closes the open window and shows `window` in its place.
    T* Replace(T* window)
    {
        Close();
        return Show(window);
    }
    void Close()
    {
        if (m_window)
            m_window->close();
    }
    T* get() const { return m_window.data(); }
    explicit operator bool() const { return !m_window.isNull(); }

private:
    T* Show(T* window)
    {
        m_window = window;
        if (window)
            window->show();
        return window;
    }

    QPointer<T> m_window;
};

} // namespace pellam
