// Every window of the console exists once: the main window and each window its menus open,
// created on first use, shown again on later calls, hidden (not destroyed) when closed. The set
// owns them all, and a window that needs another one asks the set for it.
#pragma once

#include <QWidget>

#include <map>
#include <memory>
#include <type_traits>
#include <typeindex>

namespace pkivo {

struct Console;

class WindowSet {
public:
    explicit WindowSet(Console& console) : m_console(console) {}
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // The one W, created on first use (from the Console, and the set when it asks for it),
    // then shown, raised and activated.
    // A window with a load() (its first exchange, such as reading the controller's block) has
    // it called once, after the window is in the set and on screen: a menu click handled while
    // that exchange waits then finds the window instead of making a second one.
    template <class W> W& show() {
        const bool made = find<W>() == nullptr;
        W& window = get<W>();
        window.show();
        window.raise();
        window.activateWindow();
        if constexpr (requires(W & w) { w.load(); }) {
            if (made) {
                window.load();
            }
        }
        return window;
    }
    // The one W, created on first use, not shown.
    template <class W> W& get() {
        std::unique_ptr<QWidget>& slot = m_windows[std::type_index(typeid(W))];
        if (!slot) {
            slot = make<W>();
        }
        return static_cast<W&>(*slot);
    }
    // A narrow service one window offers the others (the main window's reconnect), so that
    // they need not know that window.
    template <class I> void provide(I& service) {
        m_services[std::type_index(typeid(I))] = &service;
    }
    template <class I> I* service() const {
        auto it = m_services.find(std::type_index(typeid(I)));
        return it == m_services.end() ? nullptr : static_cast<I*>(it->second);
    }

    // The W made so far, or none.
    template <class W> W* find() const {
        auto it = m_windows.find(std::type_index(typeid(W)));
        return it == m_windows.end() ? nullptr : static_cast<W*>(it->second.get());
    }

private:
    template <class W> std::unique_ptr<QWidget> make() {
        if constexpr (std::is_constructible_v<W, Console&, WindowSet&>) {
            return std::make_unique<W>(m_console, *this);
        } else if constexpr (std::is_constructible_v<W, Console&>) {
            return std::make_unique<W>(m_console);
        } else {
            return std::make_unique<W>();
        }
    }

    Console& m_console;
    std::map<std::type_index, std::unique_ptr<QWidget>> m_windows;
    std::map<std::type_index, void*> m_services;
};

} // namespace pkivo
