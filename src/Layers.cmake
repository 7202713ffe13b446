# The layers of the program. Each folder of src/ is one static library, tavu_<folder>, that links
# exactly the folders listed for it here; its files include headers of those folders and of no
# other (the test include_layers checks every #include against this list).
#
# The core knows nothing of Qt, SDL or any library but the standard one:
set(TAVU_LAYER_util "")
set(TAVU_LAYER_settings util)
set(TAVU_LAYER_style util settings)
set(TAVU_LAYER_client util settings)
set(TAVU_LAYER_id3 util)
set(TAVU_LAYER_player util settings id3)
# The bot, its chat commands, the queue and the stream's settings. The bot still owns the
# dispatcher, the saved styles and the queue, so these four use each other.
set(TAVU_LAYER_bot util settings style client id3 player chat queue stream)
set(TAVU_LAYER_chat util settings style client bot queue stream)
set(TAVU_LAYER_queue util settings client bot chat)
set(TAVU_LAYER_stream util settings bot)
set(TAVU_CORE_LAYERS util settings style client id3 player bot chat queue stream)
# The adapters to the platform without windows: Qt's event loop and sockets, SDL's sound, FFmpeg,
# TagLib, SQLite, fontconfig, libshout.
set(TAVU_LAYER_platform ${TAVU_CORE_LAYERS})
# The Qt views: the pieces every window uses, the windows, the desktop's services.
set(TAVU_LAYER_ui ${TAVU_CORE_LAYERS} platform)
set(TAVU_LAYER_windows ${TAVU_CORE_LAYERS} platform ui)
set(TAVU_LAYER_desktop ${TAVU_CORE_LAYERS} platform ui windows)
# The composition root: builds the program from all of it.
set(TAVU_LAYER_app ${TAVU_CORE_LAYERS} platform ui windows desktop)
