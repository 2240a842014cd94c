#include "ui/matrix/Matrix16Panel.h"

#include "ui/matrix/Matrix16PanelControls.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

const MatrixPanelLayout kLayout{
    .panelType = kSixteenChannelType,
    .background = SkinId::Matrix16Background,
    .number = SkinId::Matrix16Number,
    .numberLit = SkinId::Matrix16NumberLit,
    .input = Matrix16PanelId::Input,
    .output = Matrix16PanelId::Output,
    .status = Matrix16PanelId::Status,
    .apply = Matrix16PanelId::Apply,
    .oneToAll = Matrix16PanelId::OneToAll,
    .oneToOne = Matrix16PanelId::OneToOne,
    .refresh = Matrix16PanelId::Refresh,
    .backlightTime = Matrix16PanelId::BacklightTime,
    .brightness = Matrix16PanelId::Brightness,
    .brightnessText = Matrix16PanelId::BrightnessText,
    .outputFormat = Matrix16PanelId::OutputFormat,
    .outputFormatLabel = Matrix16PanelId::OutputFormatLabel,
};

}  // namespace

Matrix16Panel::Matrix16Panel(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : MatrixPanel(session, kLayout, Matrix16PanelControls(), scale, parent) {}

}  // namespace quintara::ui
