#include "cliRead.h"

#include "cliFiles.h"
#include "cliLink.h"
#include "cliVerb.h"
#include "imcCloneCheck.h"
#include "imcRadioFacts.h"
#include "indCloneFile.h"

#include <QFileInfo>

namespace cliRead {

int readRadio(const cliLink& link, cmcEeprom& image, QByteArray* info) {
    cmcCloneDrv drv;
    drv.SetCodes(QxRadio::ModelCode, QxRadio::FrameCode2);
    drv.SetImageSize(QxRadio::ImageSize);
    link.configure(drv);
    int status = link.run(
        drv, [&](cmcCloneDrv::Callback cb, void* ctx) { return drv.StartInfo(cb, ctx); },
        [info](dst_CDrv_Result& r) {
            if (info)
                *info = QByteArray(reinterpret_cast<const char*>(r.information.GetData()),
                                   r.information.GetLength());
            return imcCloneCheck::CheckInfo(r);
        });
    if (status != 0) return status;
    status = link.run(
        drv,
        [&](cmcCloneDrv::Callback cb, void* ctx) {
            return drv.StartRead(QxRadio::CloneRead, cb, ctx);
        },
        [&image](dst_CDrv_Result& r) {
            const int32_t verdict = imcCloneCheck::CheckReadImage(r.image);
            if (verdict == 0) image = r.image;
            return verdict;
        },
        imcCloneCheck::RangeBytes(QxRadio::CloneRead), QStringLiteral("reading"));
    return status;
}

bool canSave(const QString& out) {
    cmcIcfProblem problem;
    if (cmcIcfFile::canWrite(out, &problem)) return true;
    cliError(cliFiles::errorLine(ICF_FileOpen, problem));
    return false;
}

int save(const QString& out, const cmcEeprom& read) {
    cmcEeprom image = read;
    cmcEeprom loaded(QxRadio::ImageSize);
    if (indCloneFile::readInitial(cliFiles::initialFilePath(), loaded) != 0) loaded = image;
    const int code = indCloneFile::save(out, image, loaded);
    if (code != 0) {
        cliError(cliFiles::errorLine(code));
        return CLI_CloneFileError;
    }
    cliOut(QStringLiteral("read %1 bytes into %2")
               .arg(QxRadio::ImageSize)
               .arg(QFileInfo(out).filePath()));
    return 0;
}

} // namespace cliRead
