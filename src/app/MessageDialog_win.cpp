// The message boxes as forms of our framework (window class "TMessageForm"): an icon
// by kind, the wrapped text, and a centred row of buttons, laid out in dialog units of
// the system's message font and shown modally.
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include "app/MessageDialog.h"
#include "app/MessageLayout.h"
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Form.h"
#include "ui/IconImage.h"
#include "ui/Label.h"

std::function<void(int helpContext)> MessageHelpHandler;

namespace {

struct ButtonKind {
  TMsgDlgBtn member;
  const char* name;
  const char* caption;
  int modalResult;
};

// In the order of the row, left to right.
const ButtonKind kButtonKinds[] = {
    {mbYes, "Yes", "はい(&Y)", mrYes},
    {mbNo, "No", "いいえ(&N)", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "キャンセル", mrCancel},
    {mbAbort, "Abort", "中止(&A)", mrAbort},
    {mbRetry, "Retry", "再試行(&R)", mrRetry},
    {mbIgnore, "Ignore", "無視(&I)", mrIgnore},
    {mbAll, "All", "すべて(&A)", mrAll},
    {mbNoToAll, "NoToAll", "すべていいえ(&O)", mrNoToAll},
    {mbYesToAll, "YesToAll", "すべてはい(&A)", mrYesToAll},
    {mbHelp, "Help", "ヘルプ(&H)", mrNone},
};

Text CaptionFor(TMsgDlgType kind) {
  switch (kind) {
    case TMsgDlgType::Warning: return "警告";
    case TMsgDlgType::Error: return "エラー";
    case TMsgDlgType::Information: return "情報";
    case TMsgDlgType::Confirmation: return "確認";
    case TMsgDlgType::Custom: break;
  }
  return Application->Title();
}

HICON IconFor(TMsgDlgType kind) {
  switch (kind) {
    case TMsgDlgType::Warning: return LoadIcon(nullptr, IDI_EXCLAMATION);
    case TMsgDlgType::Error: return LoadIcon(nullptr, IDI_HAND);
    case TMsgDlgType::Information: return LoadIcon(nullptr, IDI_ASTERISK);
    case TMsgDlgType::Confirmation: return LoadIcon(nullptr, IDI_QUESTION);
    case TMsgDlgType::Custom: break;
  }
  return nullptr;
}

// How the label draws its text: wrapped at words, tabs expanded, "&" shown as it is.
const UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// Measures with the font on a screen context.
class ScreenMeasure {
 public:
  explicit ScreenMeasure(const TFont& font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font.Handle())) {}
  ~ScreenMeasure() {
    SelectObject(dc_, old_);
    ReleaseDC(nullptr, dc_);
  }
  ScreenMeasure(const ScreenMeasure&) = delete;
  ScreenMeasure& operator=(const ScreenMeasure&) = delete;

  msglayout::DialogUnits Units() const {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32A(dc_, kLetters, 52, &size);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    msglayout::DialogUnits units;
    units.charWidth = msglayout::AverageCharWidth(size.cx);
    units.charHeight = metrics.tmHeight;
    return units;
  }
  // The text wrapped to at most `maxWidth`.
  SIZE TextSize(const Text& text, int maxWidth) const {
    RECT r{0, 0, maxWidth, 0};
    DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | kTextFormat);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }
  // A button caption on one line, its "&" marking taken out as the button draws it.
  int CaptionWidth(const char* caption) const {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc_, caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left;
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

FormParams MessageFormParams(TMsgDlgType kind) {
  FormParams params;
  params.className = "TMessageForm";
  params.caption = CaptionFor(kind);
  params.border = TBorderStyle::Dialog;
  params.position = TPosition::ScreenCenter;
  params.width = 200;
  params.height = 100;
  params.clientSize = true;
  params.font = TFont::MessageFont();
  return params;
}

class TMessageForm : public TForm {
 public:
  TMessageForm(const Text& text, TMsgDlgType kind, TMsgDlgButtons members, int helpContext)
      : TForm(MessageFormParams(kind)) {
    const ScreenMeasure measure(Font());
    std::vector<const ButtonKind*> row;
    msglayout::Input in;
    in.units = measure.Units();
    for (const ButtonKind& button : kButtonKinds) {
      if ((members & button.member) == 0) continue;
      row.push_back(&button);
      in.widestCaption = std::max(in.widestCaption, measure.CaptionWidth(button.caption));
    }
    const HICON icon = IconFor(kind);
    in.hasIcon = icon != nullptr;
    in.maxTextWidth = msglayout::MaxTextWidth(GetSystemMetrics(SM_CXSCREEN));
    const SIZE textSize = measure.TextSize(text, in.maxTextWidth);
    in.textWidth = textSize.cx;
    in.textHeight = textSize.cy;
    in.buttonCount = static_cast<int>(row.size());
    const msglayout::Layout layout = msglayout::Compute(in);

    if (icon != nullptr) {
      const msglayout::Rect& r = layout.icon;
      Image.Create(*this, ControlLayout{"Image", r.left, r.top, r.width, r.height, nullptr}, icon);
    }
    TLabel::Options options;
    options.wordWrap = true;
    options.showAccelChar = false;
    const msglayout::Rect& t = layout.text;
    Message.Create(*this, ControlLayout{"Message", t.left, t.top, t.width, t.height, nullptr}, options);
    Message.SetText(text);

    for (std::size_t i = 0; i < row.size(); ++i) {
      const ButtonKind& member = *row[i];
      const msglayout::Rect& r = layout.buttons[i];
      auto button = std::make_unique<TButton>();
      button->Create(*this, ControlLayout{member.name, r.left, r.top, r.width, r.height, member.caption});
      button->ModalResult = member.modalResult;
      if (member.member == mbHelp) {
        button->OnClick = [helpContext] {
          if (MessageHelpHandler) MessageHelpHandler(helpContext);
        };
      }
      Buttons.push_back(std::move(button));
    }

    TButton* defaultButton = FirstOf({"OK", "Yes", "Retry"});
    SetDefaultButton(defaultButton);
    SetCancelButton(FirstOf({"Cancel", "No", "OK"}));
    if (defaultButton != nullptr) SetActiveControl(defaultButton);

    SetClientSize(layout.clientWidth, layout.clientHeight);
    CenterOnScreen();
  }

  TIconImage Image;
  TLabel Message;
  std::vector<std::unique_ptr<TButton>> Buttons;

 private:
  TButton* FirstOf(std::initializer_list<const char*> names) const {
    for (const char* name : names) {
      for (const auto& button : Buttons) {
        if (button->Name() == name) return button.get();
      }
    }
    return nullptr;
  }
};

}  // namespace

int MessageDialog(const Text& text, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext) {
  TMessageForm form(text, kind, buttons, helpContext);
  return form.ShowModal();
}

void ShowNotice(const Text& text) { MessageDialog(text, TMsgDlgType::Custom, mbOK, 0); }
