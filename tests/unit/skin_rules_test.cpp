#include "platform/skin_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel::platform {
namespace {

namespace s = style;

struct KindCase {
    const char* class_name;
    std::uint32_t style;
    std::optional<std::uint32_t> host;
    SkinKind expected;
};

std::ostream& operator<<(std::ostream& os, const KindCase& c) {
    return os << c.class_name << " style 0x" << std::hex << c.style;
}

class SkinKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(SkinKindTest, FollowsClassAndStyle) {
    const KindCase& c = GetParam();
    EXPECT_EQ(skin_kind({c.class_name, c.style, c.host}), c.expected);
}

constexpr std::uint32_t child_visible = s::child | 0x10000000;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Controls, SkinKindTest, ::testing::Values(
    // every kind of button the skin draws, with window bits around the type
    KindCase{"Button", s::bs_push_button, {}, SkinKind::push_button},
    KindCase{"Button", child_visible | s::bs_def_push_button, {}, SkinKind::push_button},
    KindCase{"Button", s::bs_check_box, {}, SkinKind::check_box},
    KindCase{"Button", s::bs_auto_check_box, {}, SkinKind::check_box},
    KindCase{"Button", s::bs_3state, {}, SkinKind::check_box},
    KindCase{"Button", s::bs_auto_3state, {}, SkinKind::check_box},
    KindCase{"Button", s::bs_radio_button, {}, SkinKind::radio_button},
    KindCase{"Button", s::bs_auto_radio_button, {}, SkinKind::radio_button},
    KindCase{"Button", s::bs_group_box, {}, SkinKind::group_box},
    // push-like check boxes and radio buttons look like push buttons
    KindCase{"Button", s::bs_auto_check_box | s::bs_push_like, {}, SkinKind::push_button},
    KindCase{"Button", s::bs_auto_radio_button | s::bs_push_like, {}, SkinKind::push_button},
    // the owner's look stays the owner's
    KindCase{"Button", s::bs_owner_draw, {}, SkinKind::none},
    KindCase{"Button", child_visible | s::bs_owner_draw, {}, SkinKind::none},
    KindCase{"Button", s::bs_def_push_button | s::bs_bitmap, {}, SkinKind::none},
    KindCase{"Button", s::bs_push_button | s::bs_icon, {}, SkinKind::none},
    KindCase{"Button", s::bs_auto_check_box | s::bs_bitmap, {}, SkinKind::none},
    KindCase{"Button", s::bs_user_button, {}, SkinKind::none},
    KindCase{"Button", s::bs_push_box, {}, SkinKind::none},
    KindCase{"Button", 0x0C, {}, SkinKind::none},  // split button
    KindCase{"Button", 0x0E, {}, SkinKind::none},  // command link
    // class names compare without regard to case
    KindCase{"BUTTON", s::bs_push_button, {}, SkinKind::push_button},
    KindCase{"edit", 0, {}, SkinKind::edit},
    KindCase{"Edit", child_visible | s::border, {}, SkinKind::edit},
    KindCase{"combobox", s::cbs_drop_down_list, {}, SkinKind::combo_box},
    KindCase{"ComboBox", s::cbs_drop_down, {}, SkinKind::combo_box},
    KindCase{"ComboBox", s::cbs_drop_down_list | 0x10 /* owner-drawn */, {}, SkinKind::combo_box},
    KindCase{"ComboBox", s::cbs_simple, {}, SkinKind::none},
    KindCase{"MSCTLS_UPDOWN32", 0, {}, SkinKind::up_down},
    // a list is skinned with the drop-down combo box it belongs to, and only then
    KindCase{"ComboLBox", s::border, s::cbs_drop_down_list, SkinKind::combo_list},
    KindCase{"comboLbox", s::border, s::cbs_drop_down, SkinKind::combo_list},
    KindCase{"ComboLBox", s::border, s::cbs_simple, SkinKind::none},
    KindCase{"ComboLBox", s::border, std::nullopt, SkinKind::none},
    // so is the edit box of a combo box
    KindCase{"Edit", child_visible, s::cbs_drop_down, SkinKind::edit},
    KindCase{"Edit", child_visible, s::cbs_simple, SkinKind::none},
    // everything else is left alone
    KindCase{"Static", 0, {}, SkinKind::none},
    KindCase{"QuorvelControl", 0, {}, SkinKind::none},
    KindCase{"SysListView32", 0, {}, SkinKind::none},
    KindCase{"ListBox", 0, {}, SkinKind::none},
    KindCase{"Buttons", s::bs_push_button, {}, SkinKind::none},
    KindCase{"Butto", s::bs_push_button, {}, SkinKind::none},
    KindCase{"", 0, {}, SkinKind::none}));
// clang-format on

TEST(SkinScheme, OnlyOneToThreeNameAScheme) {
    for (int n : {1, 2, 3}) {
        const SkinScheme* scheme = skin_scheme(n);
        ASSERT_NE(scheme, nullptr) << n;
        EXPECT_EQ(scheme->number, n);
    }
    for (int n : {0, -1, 4, 100}) EXPECT_EQ(skin_scheme(n), nullptr) << n;
}

TEST(SkinScheme, BlueHasTheXpLunaFrameAndButtonColours) {
    const SkinScheme& blue = *skin_scheme(1);
    EXPECT_EQ(blue.frame, (Rgb{123, 158, 189}));
    EXPECT_EQ(blue.button_outline, (Rgb{0, 60, 116}));
    EXPECT_EQ(blue.button_face.top, (Rgb{255, 255, 255}));
    EXPECT_EQ(blue.button_face.bottom, (Rgb{236, 235, 230}));
    EXPECT_EQ(blue.hot_ring.top, (Rgb{255, 240, 207}));
    EXPECT_EQ(blue.hot_ring.bottom, (Rgb{229, 151, 0}));
    EXPECT_EQ(blue.default_ring.top, (Rgb{206, 231, 255}));
    EXPECT_EQ(blue.default_ring.bottom, (Rgb{105, 130, 238}));
    EXPECT_EQ(blue.arrow, (Rgb{255, 255, 255}));
}

TEST(SkinScheme, SchemesDifferInTheirFrames) {
    EXPECT_NE(skin_scheme(1)->frame, skin_scheme(2)->frame);
    EXPECT_NE(skin_scheme(2)->frame, skin_scheme(3)->frame);
    EXPECT_NE(skin_scheme(1)->arrow_button.bottom, skin_scheme(2)->arrow_button.bottom);
}

TEST(SkinLedger, AWindowIsListedOnce) {
    SkinLedger ledger;
    ledger.switch_to(1);
    EXPECT_TRUE(ledger.add(10));
    EXPECT_FALSE(ledger.add(10));
    EXPECT_TRUE(ledger.add(11));
    EXPECT_EQ(ledger.size(), 2u);
    EXPECT_TRUE(ledger.remove(10));
    EXPECT_FALSE(ledger.remove(10));
    EXPECT_FALSE(ledger.contains(10));
    EXPECT_TRUE(ledger.contains(11));
}

TEST(SkinLedger, SwitchingHandsBackEveryEarlierWindowThenStartsEmpty) {
    SkinLedger ledger;
    EXPECT_TRUE(ledger.switch_to(1).empty());
    ledger.add(1);
    ledger.add(2);
    ledger.add(3);
    ledger.remove(2);

    const auto previous = ledger.switch_to(1);  // same scheme again: still off first
    EXPECT_EQ(previous, (std::vector<SkinLedger::Window>{1, 3}));
    EXPECT_EQ(ledger.size(), 0u);
    ASSERT_NE(ledger.scheme(), nullptr);
    EXPECT_EQ(ledger.scheme()->number, 1);
    EXPECT_TRUE(ledger.add(1));  // may be skinned again under the new call
}

TEST(SkinLedger, AnUnknownSchemeOnlyTakesTheSkinOff) {
    SkinLedger ledger;
    EXPECT_FALSE(ledger.add(5));  // nothing in force yet
    ledger.switch_to(2);
    ledger.add(5);
    EXPECT_EQ(ledger.switch_to(7), (std::vector<SkinLedger::Window>{5}));
    EXPECT_EQ(ledger.scheme(), nullptr);
    EXPECT_FALSE(ledger.add(5));
    EXPECT_EQ(ledger.size(), 0u);
    ledger.switch_to(3);
    EXPECT_EQ(ledger.scheme()->number, 3);
}

}  // namespace
}  // namespace quorvel::platform
