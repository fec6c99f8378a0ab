#pragma once
// Where the keys of a panel lead: its inputs in order, then button1 ("확  인") and button2 ("취  소"),
// laid out in two columns that Up and Down move within.
#include <vector>

namespace keplin {

enum class PanelAction { None, Focus, Confirm, Cancel };

struct PanelMove {
    PanelAction action = PanelAction::None;
    int target = -1;  // control index for Focus

    bool operator==(const PanelMove&) const = default;
};

class PanelLayout {
public:
    // `inputs` controls 0..inputs-1, then button1 = inputs, button2 = inputs + 1; `up` and `down`
    // give for every control the control that Up and Down lead to (-1 for none).
    PanelLayout(int inputs, std::vector<int> up, std::vector<int> down);

    // One date input: invar1 and button1 on the left, button2 on the right (Up goes to invar1).
    static PanelLayout singleInput();
    // Two inputs side by side: invar1 over button1, invar2 over button2.
    static PanelLayout twoColumns();

    int inputs() const { return inputs_; }
    int button1() const { return inputs_; }
    int button2() const { return inputs_ + 1; }
    int controls() const { return inputs_ + 2; }

    // The move for key command `key` (tessel::vk Enter, Esc and the arrows) reported by control `from`.
    PanelMove move(int from, int key) const;

private:
    int inputs_;
    std::vector<int> up_, down_;
};

}  // namespace keplin
