// libjpeg reports fatal errors through a callback that must not return; this one keeps the
// message and jumps back to the call site, which must hold no object with a destructor between
// setjmp and the jump. Damaged data is only a warning to libjpeg, which goes on and paints grey
// where data is missing: the first such warning is kept, so that the caller can refuse the
// picture.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include <jerror.h>

namespace lumo::photo::detail {

struct JpegErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    char damage[JMSG_LENGTH_MAX]; // the first warning of missing or corrupt data, or empty
};

inline void jumpOnJpegError(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

inline bool isDamageWarning(int code)
{
    switch (code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

inline void keepDamageWarning(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace output
    auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    ++info->err->num_warnings;
    if (errors->damage[0] == '\0' && isDamageWarning(info->err->msg_code))
        (*info->err->format_message)(info, errors->damage);
}

inline jpeg_error_mgr *installJpegErrorManager(JpegErrorManager &errors)
{
    jpeg_error_mgr *manager = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpOnJpegError;
    errors.manager.emit_message = keepDamageWarning;
    errors.message[0] = '\0';
    errors.damage[0] = '\0';
    return manager;
}

} // namespace lumo::photo::detail
