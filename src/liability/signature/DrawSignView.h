#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include "liability/signature/SignView.h"

// The signature panel: a title, the buttons "取消", "重签" and "确定", and the drawing area
// with its hint. It lays itself out landscape (its width and height exchanged) so that,
// turned a quarter turn, it fills a portrait screen.
class DrawSignView : public ui::View {
public:
    using SignCallBack = std::function<void(ui::ImagePtr)>;
    using CancelBlock = std::function<void()>;

    explicit DrawSignView(ui::Rect frame);
    std::string className() const override { return "DrawSignView"; }

    std::shared_ptr<ui::Button> cancelBtn;
    std::shared_ptr<ui::Button> clearBtn;
    std::shared_ptr<ui::Button> okBtn;
    std::shared_ptr<SignView> drawView;
    // Called by "确定" with the signature, or with null when nothing was drawn.
    SignCallBack signCallBackBlock;
    // Called by "取消".
    CancelBlock cancelBlock;
    // The colour and width palettes are never offered.
    bool buttonHidden = true;
    bool widthHidden = true;

    // The button actions: cancel, re-sign (clear and show the hint), OK.
    void btnAction(const std::shared_ptr<ui::Button>& button);
    // The drawing area rendered at one pixel per point and passed through imageToTransparent.
    ui::ImagePtr saveScreen();
    // Whether the hint over the drawing area is showing (nothing drawn since the last clear).
    bool hintShowing() const;
    std::shared_ptr<ui::Label> hintLabel() const;

    // The signature's background becomes transparent: every pixel whose red, green and blue
    // have all the bits of the drawing area's colour (101, 129, 90) gets alpha 0, every other
    // pixel becomes opaque black. Null gives null; an empty image gives an empty image.
    static ui::ImagePtr imageToTransparent(const ui::ImagePtr& image);
    // A 1 by 1 image of the colour.
    static ui::ImagePtr imageFromColor(const ui::Color& color);

private:
    void createView();
    void renderBtn(const std::shared_ptr<ui::Button>& button);
};
