#include "launcher/dialogs/team_form.h"

#include "common/codepage.h"
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
    refusedField = TeamField::None;
    auto refuse = [&](TeamField field, const std::string& text) {
        refusedField = field;
        if (settings.WarnOnFormat) prompts.ShowMessage(text);
        return out;  // stays open, nothing written
    };
    if (txtName.empty()) return refuse(TeamField::Name, kMsgTeamNameEmpty);
    // Characters the code page lacks would be stored as "?"; the password is
    // the scrambling key, where "?" would let other passwords open the team.
    if (std::string bad = UnstorableChars(txtName); !bad.empty())
        return refuse(TeamField::Name, UnstorableCharsMessage(kFieldTeamName, bad));
    if (AnsiByteCount(txtName) > kTeamNameMaxBytes)
        return refuse(TeamField::Name, TooLongMessage(kFieldTeamName, kTeamNameMaxBytes));
    if (std::string bad = UnstorableChars(txtNote); !bad.empty())
        return refuse(TeamField::Note, UnstorableCharsMessage(kFieldTeamNote, bad));
    if (AnsiByteCount(txtNote) > kTeamNoteMaxBytes)
        return refuse(TeamField::Note, TooLongMessage(kFieldTeamNote, kTeamNoteMaxBytes));
    if (std::string bad = UnstorableChars(txtPassword); !bad.empty())
        return refuse(TeamField::Password, UnstorableCharsMessage(kFieldTeamPassword, bad));
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
