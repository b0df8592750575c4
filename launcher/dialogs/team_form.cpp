#include "launcher/dialogs/team_form.h"

#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {

void TeamForm::OpenForAdd() {
    caption = kCaptionAddTeam;
    txtName.clear();
    txtNote.clear();
    txtPassword.clear();
    chkPassword = false;
    teamFolderName.clear();
    teamIndex = -1;
}

void TeamForm::OpenForEdit(const std::string& appDir, int index, const std::string& password) {
    const TeamRecord rec = ReadTeamRecord(appDir, index);
    caption = kCaptionEditTeam;
    teamIndex = index;
    teamFolderName = DecodePassword(rec.Path, password);
    txtName = rec.Name;
    txtNote = rec.Note;
    txtPassword = password;
    chkPassword = false;
}

FormOutcome TeamForm::OnOk(const Settings& settings, Prompts& prompts) {
    FormOutcome out;
    if (txtName.empty()) {
        if (settings.WarnOnFormat) prompts.ShowMessage(kMsgTeamNameEmpty);
        return out;
    }
    const TeamInput in{txtName, txtNote, txtPassword};
    const bool edit = IsEdit();
    StoreResult res = edit ? EditTeam(settings.AppDir, teamIndex, teamFolderName, in) : AddTeam(settings.AppDir, in);
    out.close = true;
    if (res.error == StoreError::LimitReached) {
        // Nothing was written: a team past the 500 shown could never be seen.
        if (settings.WarnOnError) prompts.ShowMessage(kMsgTeamsOverLimit);
        return out;
    }
    if (!res.ok()) {
        if (settings.WarnOnError)
            prompts.ShowMessage(res.error == StoreError::FolderMissing ? kMsgTeamFolderMissing : kMsgTeamWriteFailed);
        // An add raises the count before anything else; the bar must show
        // what is on disk now.
        out.showTeams = !edit;
        return out;
    }
    if (!edit) {
        teamFolderName = res.name;
        teamIndex = res.index;
    }
    out.showTeams = true;
    if (settings.WarnAfterDone) prompts.ShowMessage(caption + txtName + kMsgTeamSucceeded);
    return out;
}

}  // namespace vt
