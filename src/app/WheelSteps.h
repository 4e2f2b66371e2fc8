#pragma once
// Whole wheel steps out of wheel angles: a notch of a common wheel is 120, and the finer
// angles of a smooth wheel or a touchpad add up to one step.
class WheelSteps {
public:
    static constexpr int kNotch = 120;

    // The whole steps that `angle` completes; positive is away from the user.
    int add(int angle) {
        // Turning back drops what was left of the other way.
        if ((rest_ > 0 && angle < 0) || (rest_ < 0 && angle > 0))
            rest_ = 0;
        rest_ += angle;
        const int steps = rest_ / kNotch;
        rest_ -= steps * kNotch;
        return steps;
    }

private:
    int rest_ = 0;
};
