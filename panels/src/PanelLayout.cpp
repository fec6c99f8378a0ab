#include "keplin/PanelLayout.h"

#include "ostrel/RuntimeError.h"
#include "tessel/KeyCode.h"

namespace keplin {

namespace {
namespace vk = tessel::vk;
PanelMove focus(int i) { return {PanelAction::Focus, i}; }
}  // namespace

PanelLayout::PanelLayout(int inputs, std::vector<int> up, std::vector<int> down)
    : inputs_(inputs), up_(std::move(up)), down_(std::move(down)) {
    if (inputs < 1 || up_.size() != size_t(controls()) || down_.size() != size_t(controls()))
        throw ostrel::RuntimeError::invalidArgument(QStringLiteral("panel layout"));
    for (int t : up_)
        if (t < -1 || t >= controls()) throw ostrel::RuntimeError::invalidArgument(QStringLiteral("panel layout"));
    for (int t : down_)
        if (t < -1 || t >= controls()) throw ostrel::RuntimeError::invalidArgument(QStringLiteral("panel layout"));
}

PanelLayout PanelLayout::singleInput() {
    // 0 invar1, 1 button1, 2 button2
    return PanelLayout(1, {-1, 0, 0}, {1, -1, -1});
}

PanelLayout PanelLayout::twoColumns() {
    // 0 invar1, 1 invar2, 2 button1, 3 button2
    return PanelLayout(2, {-1, -1, 0, 1}, {2, 3, -1, -1});
}

PanelMove PanelLayout::move(int from, int key) const {
    if (from < 0 || from >= controls()) return {};
    if (key == vk::Esc) return {PanelAction::Cancel, -1};
    auto column = [&](const std::vector<int>& to) {
        return to[size_t(from)] < 0 ? PanelMove{} : focus(to[size_t(from)]);
    };
    if (key == vk::Up) return column(up_);
    if (key == vk::Down) return column(down_);
    if (from < inputs_) {
        if (key == vk::Enter || key == vk::Right) return focus(from + 1);  // the last input leads to button1
        if (key == vk::Left) return from > 0 ? focus(from - 1) : PanelMove{};
        return {};
    }
    if (from == button1()) {
        if (key == vk::Enter) return {PanelAction::Confirm, -1};
        if (key == vk::Right) return focus(button2());
        if (key == vk::Left) return focus(inputs_ - 1);
        return {};
    }
    // button2
    if (key == vk::Enter) return {PanelAction::Cancel, -1};
    if (key == vk::Left) return focus(button1());
    return {};
}

}  // namespace keplin
