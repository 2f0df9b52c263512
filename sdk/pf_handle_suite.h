// "PF Handle Suite": host-allocated movable memory blocks, locked to get a stable pointer.
#pragma once

#include "pf_effect.h"

#ifdef __cplusplus
extern "C" {
#endif

#define kPFHandleSuite "PF Handle Suite"
#define kPFHandleSuiteVersion1 2  // the name says 1, the number the host answers to is 2

typedef struct PF_HandleSuite1 {
    PF_Handle (*host_new_handle)(A_HandleSize size);  // null when out of memory
    void* (*host_lock_handle)(PF_Handle pf_handle);   // stable until unlocked
    void (*host_unlock_handle)(PF_Handle pf_handle);
    void (*host_dispose_handle)(PF_Handle pf_handle);
    A_HandleSize (*host_get_handle_size)(PF_Handle pf_handle);
    PF_Err (*host_resize_handle)(A_HandleSize new_sizeL, PF_Handle* handlePH);
} PF_HandleSuite1;

#ifdef __cplusplus
}
#endif
