#include "ui/matrix/Matrix8Panel.h"

#include "ui/matrix/Matrix8PanelControls.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

const MatrixPanelLayout kLayout{
    .panelType = kEightChannelType,
    .background = SkinId::Matrix8Background,
    .number = SkinId::Matrix8Number,
    .numberLit = SkinId::Matrix8NumberLit,
    .input = Matrix8PanelId::Input,
    .output = Matrix8PanelId::Output,
    .status = Matrix8PanelId::Status,
    .apply = Matrix8PanelId::Apply,
    .oneToAll = Matrix8PanelId::OneToAll,
    .oneToOne = Matrix8PanelId::OneToOne,
    .refresh = Matrix8PanelId::Refresh,
    .backlightTime = Matrix8PanelId::BacklightTime,
    .brightness = Matrix8PanelId::Brightness,
    .brightnessText = Matrix8PanelId::BrightnessText,
    .outputFormat = 0,
    .outputFormatLabel = 0,
};

}  // namespace

Matrix8Panel::Matrix8Panel(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : MatrixPanel(session, kLayout, Matrix8PanelControls(scale.dpiX), scale, parent) {}

}  // namespace quintara::ui
