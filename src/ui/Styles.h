// Window and control style bits used by the dialog templates, in the platform's numbering.
#pragma once

#include <cstdint>

namespace tc::style {

constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kDisabled = 0x08000000;
constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kVScroll = 0x00200000;
constexpr std::uint32_t kHScroll = 0x00100000;
constexpr std::uint32_t kGroup = 0x00020000;
constexpr std::uint32_t kTabStop = 0x00010000;

constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kDsModalFrame = 0x80;
constexpr std::uint32_t kDsCenter = 0x0800;
constexpr std::uint32_t kDsShellFont = kDsSetFont | 0x0008;  // DS_FIXEDSYS with DS_SETFONT

constexpr std::uint32_t kBsPushButton = 0x0;
constexpr std::uint32_t kBsDefPushButton = 0x1;
constexpr std::uint32_t kBsCheckBox = 0x2;
constexpr std::uint32_t kBsAutoCheckBox = 0x3;
constexpr std::uint32_t kBsGroupBox = 0x7;
constexpr std::uint32_t kBsCenter = 0x300;

constexpr std::uint32_t kEsLeft = 0x0;
constexpr std::uint32_t kEsMultiline = 0x4;
constexpr std::uint32_t kEsAutoVScroll = 0x40;
constexpr std::uint32_t kEsAutoHScroll = 0x80;
constexpr std::uint32_t kEsReadOnly = 0x800;
constexpr std::uint32_t kEsNumber = 0x2000;

constexpr std::uint32_t kSsLeft = 0x0;
constexpr std::uint32_t kSsCenter = 0x1;
constexpr std::uint32_t kSsIcon = 0x3;
constexpr std::uint32_t kSsCenterImage = 0x200;
constexpr std::uint32_t kSsNotify = 0x100;
constexpr std::uint32_t kSsNoPrefix = 0x80;
constexpr std::uint32_t kSsPathEllipsis = 0x8000;
constexpr std::uint32_t kSsEditControl = 0x2000;  // as an edit control: no line shown cut in half

constexpr std::uint32_t kLbsNotify = 0x1;
constexpr std::uint32_t kLbsSort = 0x2;
constexpr std::uint32_t kLbsNoIntegralHeight = 0x100;

constexpr std::uint32_t kCbsDropDownList = 0x3;
constexpr std::uint32_t kCbsSort = 0x100;

constexpr std::uint32_t kPbsMarquee = 0x08;

constexpr std::uint32_t kLvsReport = 0x1;
constexpr std::uint32_t kLvsSingleSel = 0x4;
constexpr std::uint32_t kLvsShowSelAlways = 0x8;
constexpr std::uint32_t kLvsSortAscending = 0x10;
constexpr std::uint32_t kLvsNoColumnHeader = 0x4000;

constexpr std::uint32_t kWsExClientEdge = 0x200;
constexpr std::uint32_t kWsExToolWindow = 0x80;

// What every dialog of the program is: a modal popup with caption, system menu and a modal frame.
constexpr std::uint32_t kModalDialog = kPopup | kCaption | kSysMenu | kDsModalFrame;
// A static that becomes a link: it takes the mouse, shows '&' as it is, and is a tab stop for the keyboard.
constexpr std::uint32_t kLinkStatic = kSsNotify | kSsNoPrefix | kTabStop;
// The sorted starter lists (their border is the client edge) and the action combos.
// Starter names are often longer than the lists are wide: the lists scroll sideways when they are, and keep
// their height when that bar appears.
constexpr std::uint32_t kStarterList =
    kLbsNotify | kLbsSort | kLbsNoIntegralHeight | kVScroll | kHScroll | kTabStop;
constexpr std::uint32_t kActionCombo = kCbsDropDownList | kCbsSort | kVScroll | kTabStop;

}  // namespace tc::style
