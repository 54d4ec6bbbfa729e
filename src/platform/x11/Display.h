#pragma once
// The X display the windows need.
namespace beamlet::platform::x11 {

// Before the application object: whether the X display opens, and Qt set to reach
// it through xcb (XWayland under Wayland: the windows sit at absolute positions
// and above others, which Wayland does not let a program do). When it does not
// open, says so in one line on standard error. The platforms the tests run on,
// which draw nowhere, are left as they are.
bool windowsCanShow();

}  // namespace beamlet::platform::x11
