#pragma once
// A value or a typed error. The loaders and readers of this program report
// failures as values: nothing they meet in a damaged evidence file may escape
// as an exception into a window.
#include <cassert>
#include <utility>
#include <variant>

namespace pellam {

template<typename E>
struct Unexpected {
    E error;
};

template<typename E>
Unexpected<E> fail(E error)
{
    return Unexpected<E> {std::move(error)};
}

template<typename T, typename E>
class Result {
public:
    Result(T value) : m_data(std::in_place_index<0>, std::move(value)) { }
    Result(Unexpected<E> e) : m_data(std::in_place_index<1>, std::move(e.error)) { }

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const&
    {
        assert(ok());
        return std::get<0>(m_data);
    }
    T& value() &
    {
        assert(ok());
        return std::get<0>(m_data);
    }
    T&& value() &&
    {
        assert(ok());
        return std::get<0>(std::move(m_data));
    }
    const T& operator*() const& { return value(); }
    const T* operator->() const { return &value(); }

    const E& error() const
    {
        assert(!ok());
        return std::get<1>(m_data);
    }

    T value_or(T fallback) const { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, E> m_data;
};

} // namespace pellam
