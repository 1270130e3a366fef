# The maker's EPCSDK.DLL exports its __stdcall functions under their bare names: OpenComm,
# not _OpenComm@4 nor OpenComm@4. A library that stands in for it, the simulated reader or
# a test library, must do the same, or binding by name finds nothing.
function(export_undecorated target)
    if(WIN32)
        target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
endfunction()
