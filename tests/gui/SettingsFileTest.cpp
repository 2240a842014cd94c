// The multiviewer's settings saved to a file and loaded back from the main window's context
// menu, through Qt's own file dialog, against the simulated multiviewer.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <variant>

#include "SkinLooks.h"
#include "core/matrix/files/MatrixSettingsFile.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/files/SettingsFilePresenter.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "gui/PanelFixture.h"
#include "ui/viewer/pages/ModePage.h"
#include "ui/viewer/pages/SwitcherPage.h"

namespace quintara::ui {
namespace {

using test::SimulatedLan;

class SettingsFileTest : public test::PanelFixture {
 protected:
  std::filesystem::path File(const char* name) const {
    return std::filesystem::path(folder_.path().toStdString()) / name;
  }

  // Right-clicks the window's background and takes the entry, answering the file dialog it
  // opens with the file, and waits until what the entry set off has ended. False when the entry
  // is disabled.
  bool TakeMenuEntry(const char* entry, const std::filesystem::path& file) {
    bool enabled = false;
    test::WhenShown([] { return QApplication::activePopupWidget(); },
                    [&](QWidget& menu) {
                      QAction* action = nullptr;
                      for (QAction* candidate : menu.actions()) {
                        if (candidate->text() == QString::fromUtf8(entry)) {
                          action = candidate;
                        }
                      }
                      menu.close();
                      ASSERT_NE(action, nullptr) << entry;
                      enabled = action->isEnabled();
                      if (enabled) {
                        AnswerFileDialog(file);
                        action->trigger();
                      }
                    });
    const QPoint at(600, 700);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
    QApplication::sendEvent(window.get(), &event);
    EXPECT_TRUE(AwaitIdle());
    return enabled;
  }

  // The simulator's settings, as its state reply carries them.
  ViewerSettings DeviceSettings() const {
    ViewerState state;
    state.StateImage = lan.multiviewer->StateImage();
    static_cast<void>(DecodeStateImage(state));
    return SettingsOf(state);
  }

  // Every frame the simulator received but searches and read-backs.
  std::size_t SettersReceived() const {
    std::size_t setters = 0;
    for (const sim::ReceivedMessage& message : lan.multiviewer->Received()) {
      const std::uint8_t code = message.bytes.size() > frame::kCommandCodeOffset
                                    ? message.bytes[frame::kCommandCodeOffset]
                                    : 0;
      setters += code != CommandCode::Discover && code != ViewerCode::ReadState;
    }
    return setters;
  }

  // The panel open, and the mode it sent on opening arrived.
  void OpenSettledPanel() {
    ASSERT_NE(OpenPanel(), nullptr);
    ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetSwitcherMode, 1, test::kPatience));
  }

  test::Skinned skinned;
  QImage dialogLook;  // the last file dialog, as it was shown

 private:
  void AnswerFileDialog(std::filesystem::path file) {
    test::WhenShown([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); },
                    [this, file](QWidget& shown) {
                      auto& dialog = static_cast<QFileDialog&>(shown);
                      EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
                      dialogLook = dialog.grab().toImage();
                      // selectFile leaves the name field alone while it has the focus.
                      if (QWidget* focused = dialog.focusWidget()) {
                        focused->clearFocus();
                      }
                      dialog.selectFile(QString::fromStdString(file.string()));
                      static_cast<QDialog&>(dialog).accept();  // the file dialog's own checks run
                      if (dialog.isVisible()) {
                        ADD_FAILURE() << "the file dialog kept " << file;
                        dialog.reject();
                      }
                    });
  }

  QTemporaryDir folder_;
};

TEST_F(SettingsFileTest, SavesWhatTheDeviceHoldsOnlyWithAPanelOpen) {
  const std::filesystem::path file = File("saved.json");
  EXPECT_FALSE(TakeMenuEntry(kSaveSettingsEntryText, file)) << "no panel open";
  EXPECT_FALSE(TakeMenuEntry(kLoadSettingsEntryText, file));
  Search();
  Choose(SimulatedLan::kMatrix8);
  ASSERT_NE(window->DevicePanel(), nullptr);
  ASSERT_TRUE(TakeMenuEntry(kSaveSettingsEntryText, File("matrix8.json")))
      << "a matrix switcher's panel saves the switcher's own file";
  EXPECT_TRUE(std::holds_alternative<MatrixSettings>(ReadMatrixSettingsFile(File("matrix8.json"))));

  lan.multiviewer->SetLayout(60);
  lan.multiviewer->SetWindowSource(3, 9);
  lan.multiviewer->SetUmdOn(2, false);
  Choose(SimulatedLan::kMultiviewer);
  ASSERT_NE(Panel(), nullptr);
  ASSERT_TRUE(TakeMenuEntry(kSaveSettingsEntryText, file));
  EXPECT_TRUE(prompter.errors.empty()) << prompter.errors.front();
  const SettingsRead read = ReadSettingsFile(file);
  ASSERT_TRUE(std::holds_alternative<ViewerSettings>(read))
      << std::get<SettingsFileError>(read).Text();
  EXPECT_EQ(std::get<ViewerSettings>(read), DeviceSettings());
  EXPECT_EQ(std::get<ViewerSettings>(read).WindowSource[2], 9);
  // The file dialog wears the skin: dark, with light text only.
  EXPECT_LT(qGray(test::Dominant(dialogLook).rgb()), 80) << test::Name(test::Dominant(dialogLook));
  EXPECT_LT(test::LightPixels(dialogLook), dialogLook.width() * dialogLook.height() / 20);

  // The device holds the file's settings already: nothing to send, and the operator is told.
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, file));
  EXPECT_EQ(prompter.notices, std::vector<std::string>{std::string(kSettingsAlreadyHeld)});
  EXPECT_TRUE(prompter.confirmations.empty());

  // A device that does not answer: no file, and the operator is told.
  lan.server.Stop();
  ASSERT_TRUE(TakeMenuEntry(kSaveSettingsEntryText, File("silent.json")));
  EXPECT_EQ(prompter.errors, std::vector<std::string>{std::string(kSaveUnansweredError)});
  EXPECT_FALSE(std::filesystem::exists(File("silent.json")));
}

TEST_F(SettingsFileTest, LoadingASavedFileBringsBackTheDeviceThePanelAndItsPage) {
  OpenSettledPanel();
  const std::filesystem::path file = File("multiviewer.json");
  ASSERT_TRUE(TakeMenuEntry(kSaveSettingsEntryText, file));
  const ViewerSettings saved = DeviceSettings();
  ASSERT_EQ(saved.SwitcherMode, 0);

  // Changed from the device's front panel, ending in switcher mode; the panel opened again
  // shows the Switcher page.
  lan.multiviewer->SetLayout(60);
  lan.multiviewer->SetWindowSource(3, 9);
  lan.multiviewer->SetAllUmd(false);
  lan.multiviewer->SetColour(ViewerCode::SetUmdTextColour, 5, 2);
  lan.multiviewer->SetSwitcherMode(1);
  lan.multiviewer->SetWindowSource(4, 12);  // a route now
  Search();
  ASSERT_NE(Page<SwitcherPage>(), nullptr);
  ASSERT_NE(DeviceSettings(), saved);

  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, file));
  ASSERT_EQ(prompter.confirmations.size(), 1u);
  const std::string& question = prompter.confirmations[0];
  for (const char* line : {"SwitcherMode: on -> off", "LayoutCode: 60 -> 40",
                           "WindowSource[2]: 9 -> 3", "SwitcherSource[3]: 12 -> 4"}) {
    EXPECT_NE(question.find(line), std::string::npos) << line << " in\n" << question;
  }
  EXPECT_TRUE(prompter.errors.empty()) << prompter.errors.front();
  EXPECT_EQ(prompter.notices, std::vector<std::string>{std::string(kSettingsVerified)});
  EXPECT_EQ(DeviceSettings(), saved);
  EXPECT_EQ(SettingsOf(viewer()), saved) << "the mirror follows the device";
  ASSERT_NE(Page<ModePage>(), nullptr) << "the page of the device's mode";
  EXPECT_EQ(Page<ModePage>()->SourceList(3)->currentIndex(), saved.WindowSource[2] - 1);
}

TEST_F(SettingsFileTest, NothingIsSentForABadFileACancelOrALockedOrSilentDevice) {
  OpenSettledPanel();
  ViewerSettings wrong = SettingsOf(viewer());
  wrong.WindowSource[3] = 17;
  ASSERT_FALSE(WriteSettingsFile(File("wrong.json"), WriteSettingsDocument(wrong, {})));
  ViewerSettings other = SettingsOf(viewer());
  other.LayoutCode = 60;
  other.BorderOn = other.BorderOn == 0 ? 1 : 0;
  ASSERT_FALSE(WriteSettingsFile(File("other.json"), WriteSettingsDocument(other, {})));
  const std::size_t setters = SettersReceived();

  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("wrong.json")));
  EXPECT_EQ(prompter.errors,
            std::vector<std::string>{"The settings file cannot be applied:\n"
                                     "settings.WindowSource[3]: 17 is out of range (1-16)"});
  // A pipe would hold the window for good: it is refused unread.
  ASSERT_EQ(mkfifo(File("pipe.json").c_str(), 0600), 0);
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("pipe.json")));
  EXPECT_EQ(prompter.errors.back(), std::string(kSettingsFileError) + "cannot read " +
                                        File("pipe.json").string() + ": not a regular file");
  EXPECT_TRUE(prompter.confirmations.empty());

  prompter.confirmAnswer = false;
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("other.json")));
  EXPECT_EQ(prompter.confirmations.size(), 1u);
  EXPECT_EQ(SettersReceived(), setters) << "cancelled";

  // Locked from this window: refused before anything goes out.
  prompter.confirmAnswer = true;
  QTest::mouseClick(window->Controls().Find(MainWindowId::Lock), Qt::LeftButton);
  ASSERT_TRUE(Await([this] { return lan.multiviewer->State().LockState == 1; }));
  const std::size_t afterLock = SettersReceived();
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("other.json")));
  EXPECT_EQ(prompter.errors.back(), kLoadLockedError);
  EXPECT_EQ(prompter.confirmations.size(), 1u);
  EXPECT_EQ(SettersReceived(), afterLock);

  // Locked where this window cannot see it: the device ignores the first setter, and the
  // rest never go out.
  window->GetController().Session().SetLockState(0);
  const std::size_t beforeProbe = lan.multiviewer->Received().size();
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("other.json")));
  EXPECT_TRUE(prompter.notices.empty());
  ASSERT_EQ(prompter.errors.size(), 4u);
  EXPECT_EQ(prompter.errors.back(), kLoadLockedError);
  std::vector<std::uint8_t> codes;
  const std::vector<sim::ReceivedMessage> received = lan.multiviewer->Received();
  for (std::size_t i = beforeProbe; i < received.size(); ++i) {
    codes.push_back(received[i].bytes.at(frame::kCommandCodeOffset));
  }
  EXPECT_EQ(std::ranges::count(codes, ViewerCode::SetLayout), 1);
  EXPECT_EQ(std::ranges::count(codes, ViewerCode::SetBorder), 0) << "the rest never go out";
  EXPECT_EQ(lan.multiviewer->State().LayoutCode, 40);

  // Silent: nothing sent after the unanswered read-back.
  lan.server.Stop();
  const std::size_t beforeSilence = prompter.confirmations.size();
  ASSERT_TRUE(TakeMenuEntry(kLoadSettingsEntryText, File("other.json")));
  EXPECT_EQ(prompter.errors.back(), kLoadUnansweredError);
  EXPECT_EQ(prompter.confirmations.size(), beforeSilence);
}

// Named presets from the same menu: saved under a name for the open device, recalled from a
// list of the presets of its kind.
class PresetMenuTest : public test::PanelFixture {
 protected:
  PresetMenuTest() : PanelFixture({}, Folder()) { std::filesystem::remove_all(Folder()); }
  ~PresetMenuTest() override { std::filesystem::remove_all(Folder()); }

  static std::filesystem::path Folder() {
    return std::filesystem::path(::testing::TempDir()) / "quintara-window-presets";
  }

  // Right-clicks the window and takes the entry (from the recall list when recalled), answering
  // the name dialog with name; waits until what it set off has ended. False when the entry is
  // disabled or not there.
  bool Take(const char* entry, const QString& name = {}, bool recalled = false) {
    bool taken = false;
    test::WhenShown([] { return QApplication::activePopupWidget(); },
                    [&](QWidget& menu) {
                      QAction* action =
                          FindAction(menu.actions(), recalled ? kRecallPresetEntryText : entry);
                      if (recalled && action != nullptr && action->isEnabled()) {
                        action = FindAction(action->menu()->actions(), entry);
                      }
                      menu.close();
                      taken = action != nullptr && action->isEnabled();
                      if (taken) {
                        AnswerNameDialog(name);
                        action->trigger();
                      }
                    });
    const QPoint at(600, 700);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
    QApplication::sendEvent(window.get(), &event);
    EXPECT_TRUE(AwaitIdle());
    return taken;
  }

 private:
  static QAction* FindAction(const QList<QAction*>& actions, const char* text) {
    const auto found = std::ranges::find(actions, QString::fromUtf8(text), &QAction::text);
    return found == actions.end() ? nullptr : *found;
  }

  static void AnswerNameDialog(const QString& name) {
    if (name.isEmpty()) {
      return;
    }
    test::WhenShown([] { return qobject_cast<QInputDialog*>(QApplication::activeModalWidget()); },
                    [name](QWidget& shown) {
                      auto& dialog = static_cast<QInputDialog&>(shown);
                      dialog.setTextValue(name);
                      dialog.accept();
                    });
  }
};

TEST_F(PresetMenuTest, APresetIsSavedForTheOpenDeviceAndRecalledFromItsKindsList) {
  EXPECT_FALSE(Take(kSavePresetEntryText)) << "no panel open";
  Search();
  Choose(SimulatedLan::kMultiviewer);
  lan.multiviewer->SetLayout(60);
  Search();
  ASSERT_TRUE(Take(kSavePresetEntryText, QStringLiteral("Studio A")));
  EXPECT_TRUE(prompter.errors.empty()) << prompter.errors.front();
  EXPECT_TRUE(std::filesystem::is_regular_file(Folder() / "Studio A.json"));

  ASSERT_TRUE(Take(kSavePresetEntryText, QStringLiteral("../elsewhere")));
  ASSERT_EQ(prompter.errors.size(), 1u);
  EXPECT_NE(prompter.errors[0].find("The preset cannot be saved"), std::string::npos);
  prompter.confirmAnswer = false;
  ASSERT_TRUE(Take(kSavePresetEntryText, QStringLiteral("Studio A")));
  EXPECT_EQ(prompter.confirmations,
            std::vector<std::string>{"The preset 'Studio A' exists already. Replace it?"});
  prompter.confirmAnswer = true;

  lan.multiviewer->SetLayout(90);
  Search();
  ASSERT_TRUE(Take("Studio A", {}, true));
  EXPECT_EQ(lan.multiviewer->State().LayoutCode, 60);
  EXPECT_EQ(prompter.notices.back(), std::string(kSettingsVerified));

  Choose(SimulatedLan::kMatrix8);
  EXPECT_FALSE(Take("Studio A", {}, true)) << "a multiviewer's preset is not offered";
}

}  // namespace
}  // namespace quintara::ui
