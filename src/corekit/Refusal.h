#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace ambrel {

// Why an action did not run, in the words the person reads. Every refusal of the logic has this one shape;
// the action it refuses changes nothing, and the face that shows it chooses the title.
struct Refusal {
    QString text;
};

// What a step that can be refused gives back: its value, or the refusal in its place. A step with no value
// returns std::optional<Refusal> instead, empty when it ran.
template <typename T>
class Refusable {
public:
    Refusable(T value)
        : m_state(std::move(value))
    {
    }
    Refusable(Refusal refusal)
        : m_state(std::move(refusal))
    {
    }

    bool refused() const { return std::holds_alternative<Refusal>(m_state); }
    const Refusal &refusal() const { return std::get<Refusal>(m_state); }
    // Empty when the step ran, so a caller passes the refusal on in one line.
    std::optional<Refusal> failure() const { return refused() ? std::optional<Refusal>(refusal()) : std::nullopt; }

    T &value() { return std::get<T>(m_state); }
    const T &value() const { return std::get<T>(m_state); }
    T &operator*() { return value(); }
    const T &operator*() const { return value(); }
    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }

private:
    std::variant<T, Refusal> m_state;
};

} // namespace ambrel
