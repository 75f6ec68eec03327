// Exports: stored skin, option and login settings.

#include <string>

#include "zelklib/export_guard.h"
#include "zelklib/out_buffer.h"
#include "zelklib/settings_store.h"
#include "zelklib/zelklib_exports.h"

using namespace zelklib;

ZELK_EXPORT void LoadSkinData(const char16_t* programDir, char16_t* imageModeBuffer12,
                              char16_t* colourBuffer52, char16_t* imageBuffer256) {
  CopyToBuffer(u"0", imageModeBuffer12, kZelkStatusBufferBytes);
  CopyToBuffer(u"0", colourBuffer52, kZelkColourBufferBytes);
  CopyToBuffer({}, imageBuffer256, kZelkPathBufferBytes);
  GuardedVoid([&] {
    const SkinSettings skin = SettingsStore(ToUtf8(programDir)).loadSkin();
    CopyToBuffer(skin.imageMode ? u"1" : u"0", imageModeBuffer12, kZelkStatusBufferBytes);
    CopyToBuffer(ToUtf16(std::to_string(skin.colour)), colourBuffer52, kZelkColourBufferBytes);
    CopyToBuffer(ToUtf16(skin.image), imageBuffer256, kZelkPathBufferBytes);
  });
}

ZELK_EXPORT void SaveSkinData(const char16_t* programDir, int imageMode, std::uint32_t colour,
                              const char16_t* image) {
  GuardedVoid([&] {
    SettingsStore(ToUtf8(programDir)).saveSkin({imageMode == 1, colour, ToUtf8(image)});
  });
}

ZELK_EXPORT void LoadOptionData(const char16_t* programDir, char16_t* folderBuffer256) {
  CopyToBuffer({}, folderBuffer256, kZelkPathBufferBytes);
  GuardedVoid([&] {
    CopyToBuffer(ToUtf16(SettingsStore(ToUtf8(programDir)).loadDownloadFolder()), folderBuffer256,
                 kZelkPathBufferBytes);
  });
}

ZELK_EXPORT void SaveOptionData(const char16_t* programDir, const char16_t* folder) {
  GuardedVoid([&] { SettingsStore(ToUtf8(programDir)).saveDownloadFolder(ToUtf8(folder)); });
}

ZELK_EXPORT void LoadLoginData(const char16_t* programDir, char16_t* loginIdBuffer100,
                               char16_t* passwordBuffer100, char16_t* rememberBuffer12,
                               char16_t* autoLoginBuffer12) {
  CopyToBuffer({}, loginIdBuffer100, kZelkLoginBufferBytes);
  CopyToBuffer({}, passwordBuffer100, kZelkLoginBufferBytes);
  CopyToBuffer(u"1", rememberBuffer12, kZelkStatusBufferBytes);
  CopyToBuffer(u"1", autoLoginBuffer12, kZelkStatusBufferBytes);
  GuardedVoid([&] {
    const LoginSettings login = SettingsStore(ToUtf8(programDir)).loadLogin();
    const std::u16string loginId = ToUtf16(login.loginId);
    const std::u16string password = ToUtf16(login.password);
    // A login cut to its buffer would be someone else's id or a wrong password: one that does
    // not fit is not handed out at all, so that nothing logs in with it.
    constexpr std::size_t kFits = kZelkLoginBufferBytes / sizeof(char16_t) - 1;
    if (loginId.size() <= kFits && password.size() <= kFits) {
      CopyToBuffer(loginId, loginIdBuffer100, kZelkLoginBufferBytes);
      CopyToBuffer(password, passwordBuffer100, kZelkLoginBufferBytes);
    }
    CopyToBuffer(login.remember ? u"1" : u"0", rememberBuffer12, kZelkStatusBufferBytes);
    CopyToBuffer(login.autoLogin ? u"1" : u"0", autoLoginBuffer12, kZelkStatusBufferBytes);
  });
}

ZELK_EXPORT void SaveLoginData(const char16_t* programDir, const char16_t* loginId,
                               const char16_t* password, int remember, int autoLogin) {
  GuardedVoid([&] {
    SettingsStore(ToUtf8(programDir))
        .saveLogin({ToUtf8(loginId), ToUtf8(password), remember == 1, autoLogin == 1});
  });
}
