#pragma once

#include "framework/windows/Crackers.h"

#include <type_traits>

namespace Fw {

// Which messages one row of a map takes: a message, and for WM_COMMAND and WM_NOTIFY the
// sender's control id and the notification code, each of which may be any.
struct MessageKey {
    static constexpr UINT_PTR anyId = ~UINT_PTR(0);
    static constexpr UINT anyCode = ~0u;

    UINT message;
    UINT_PTR id = anyId;
    UINT code = anyCode;

    bool Matches(UINT incoming, WPARAM wParam, LPARAM lParam) const {
        if (incoming != message)
            return false;
        if (message == WM_COMMAND)
            return (id == anyId || id == LOWORD(wParam)) && (code == anyCode || code == HIWORD(wParam));
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            return header && (id == anyId || id == header->idFrom) &&
                   (code == anyCode || code == header->code);
        }
        return true;
    }
};

// One row of a window class T's message map: what it takes, and the function that cracks the
// message for the row's handler and calls it.
template <class T>
struct MessageEntry : MessageKey {
    LRESULT (*call)(T& window, WPARAM wParam, LPARAM lParam);
};

// The class and the signature of a handler, a member function.
template <class H>
struct HandlerTraits;
template <class C, class R, class... Args>
struct HandlerTraits<R (C::*)(Args...)> {
    using Class = C;
    using Signature = R(Args...);
};
template <class C, class R, class... Args>
struct HandlerTraits<R (C::*)(Args...) noexcept> : HandlerTraits<R (C::*)(Args...)> {};

// A handler fits a message when it takes exactly what the message's cracker gives.
template <UINT Message, auto Handler>
concept HandlerOf = requires {
    typename Cracker<Message>::Signature;
    typename HandlerTraits<decltype(Handler)>::Signature;
}
&&std::is_same_v<typename HandlerTraits<decltype(Handler)>::Signature, typename Cracker<Message>::Signature>;

// What OnMessage, OnNotify and OnCommand give back: it becomes a MessageEntry of any class
// derived from the handler's own, so that a map may name handlers its base classes declare.
// Maps are written inside their class, where the class is not complete yet: nothing here
// may need T whole before a message is actually routed.
template <UINT Message, auto Handler>
struct MessageHandler {
    MessageKey key;

    template <class T>
    constexpr operator MessageEntry<T>() const {
        return {key, &Crack<T>};
    }

private:
    template <class T>
    static LRESULT Crack(T& window, WPARAM wParam, LPARAM lParam) {
        using Class = typename HandlerTraits<decltype(Handler)>::Class;
        static_assert(std::is_base_of_v<Class, T>, "the handler belongs to another window class");
        return Cracker<Message>::Call(static_cast<Class&>(window), Handler, wParam, lParam);
    }
};

//     static inline const Fw::MessageEntry<T> messages[] = {
//         Fw::OnMessage<WM_SIZE, &T::OnSize>(),
//         Fw::OnNotify<listId, LVN_COLUMNCLICK, &T::OnColumnClick>(),
//         Fw::OnCommand<IDCANCEL, &T::OnClose>(),
//     };
template <UINT Message, auto Handler>
requires HandlerOf<Message, Handler>
constexpr MessageHandler<Message, Handler> OnMessage() {
    return {{Message}};
}

// A notification by its code from any child, or from the child of one id.
template <UINT Code, auto Handler>
requires HandlerOf<WM_NOTIFY, Handler>
constexpr MessageHandler<WM_NOTIFY, Handler> OnNotify() {
    return {{WM_NOTIFY, MessageKey::anyId, Code}};
}
template <UINT_PTR Id, UINT Code, auto Handler>
requires HandlerOf<WM_NOTIFY, Handler>
constexpr MessageHandler<WM_NOTIFY, Handler> OnNotify() {
    return {{WM_NOTIFY, Id, Code}};
}

// A command by its id, whatever its code, or by id and code.
template <UINT_PTR Id, auto Handler>
requires HandlerOf<WM_COMMAND, Handler>
constexpr MessageHandler<WM_COMMAND, Handler> OnCommand() {
    return {{WM_COMMAND, Id}};
}
template <UINT_PTR Id, UINT Code, auto Handler>
requires HandlerOf<WM_COMMAND, Handler>
constexpr MessageHandler<WM_COMMAND, Handler> OnCommand() {
    return {{WM_COMMAND, Id, Code}};
}

} // namespace Fw
