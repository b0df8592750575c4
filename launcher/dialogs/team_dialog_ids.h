// Control ids of the team editor, the settings dialog and the skin chooser,
// shared with the tests that drive these dialogs from outside the process.
#pragma once

namespace vt {

// Team editor ("添加类别" / "编辑类别"); OK and Cancel are IDOK and IDCANCEL.
enum TeamDialogId : unsigned short {
    kIdTeamNameLabel = 100,
    kIdTxtName,
    kIdTeamNoteLabel,
    kIdTxtNote,
    kIdTeamPasswordLabel,
    kIdTxtPassword,
    kIdChkPassword,
};

// Settings dialog ("软件设置"). Arrays of controls use consecutive ids.
enum SettingsDialogId : unsigned short {
    kIdOptSet = 200,  // OptSet(0..3): 200..203
    // Page 0 "操作设置"
    kIdFraLaunch = 210,
    kIdOptLaunch,  // OptLaunch(0..1): 211, 212
    kIdOptLaunch1,
    kIdFraMin,
    kIdChkMin,  // ChkMin(0..1): 214, 215
    kIdChkMin1,
    kIdFraRoll,
    kIdChkRoll,  // ChkRoll(0..1): 217, 218
    kIdChkRoll1,
    kIdRollLabel,  // 219, 220
    kIdRollLabel1,
    kIdTxtRoll,  // TxtRoll(0..1): 221, 222
    kIdTxtRoll1,
    kIdVScrRoll,  // VScrRoll(0..1): 223, 224
    kIdVScrRoll1,
    // Page 1 "运行设置"
    kIdFraHot = 230,
    kIdChkHot,  // ChkHot(0..3): 231..234
    kIdChkHot1,
    kIdChkHot2,
    kIdChkHot3,
    kIdTxtHot,
    kIdChkShow,
    kIdFraOther,
    kIdChkOther,  // ChkOther(0..1): 238, 239
    kIdChkOther1,
    kIdChkPortable,
    // Page 2 "提示设置"
    kIdFraWarn = 250,
    kIdChkWarn,  // ChkWarn(0..5): 251..256
    // Page 3 "界面设置"
    kIdFraShowItem = 270,
    kIdOptShowItem,  // OptShowItem(0..2): 271..273
    kIdFraUi = 275,
    kIdChkRunOne,
    kIdChkHide,
    kIdChkRmTeam,
    kIdChkOpen,
    kIdChkWin,
};

// Skin chooser ("皮肤设置").
enum SkinDialogId : unsigned short {
    kIdOptPage = 300,  // 300, 301
    // Page 0 "更换皮肤"
    kIdLstSkin = 310,
    kIdFraInfo,
    kIdInfoCaption = 320,  // 320..325
    kIdInfoValue = 330,    // 330..335: LabName, LabVersion, LabAuthor, LabHomePage, LabEmail, LabNote
    // Page 1 "界面效果"
    kIdFraMsg = 340,
    kIdSwatchLabel = 341,  // 341..343
    kIdPicFrame = 344,     // 344..346: PicFrame, PicBack, PicFont
    kIdSizeLabel = 347,
    kIdTxtSize,
    kIdVScrSize,
    kIdMOLabel,
    kIdTxtMO,
    kIdVScrMO,
    kIdPreview,
    kIdFraMain = 360,
    kIdFOLabel,
    kIdTxtFO,
    kIdVScrFO,
};

}  // namespace vt
