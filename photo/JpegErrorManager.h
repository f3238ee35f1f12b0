// libjpeg reports fatal errors through a callback that must not return; this one keeps the
// message and jumps back to the call site, which must hold no object with a destructor between
// setjmp and the jump.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace lumo::photo::detail {

struct JpegErrorManager
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

inline void jumpOnJpegError(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrorManager *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

inline void ignoreJpegMessage(j_common_ptr) {}

inline jpeg_error_mgr *installJpegErrorManager(JpegErrorManager &errors)
{
    jpeg_error_mgr *manager = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpOnJpegError;
    errors.manager.output_message = ignoreJpegMessage;
    errors.message[0] = '\0';
    return manager;
}

} // namespace lumo::photo::detail
