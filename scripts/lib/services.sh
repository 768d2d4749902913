# Services the tests need on a machine with no sound card and no display:
# a PulseAudio daemon with a null sink and an Xvfb display. Each is started in
# the background and stopped by its PID when the calling script exits.
# Source this file, call start_services, and the trap stops them.

PELLAM_SERVICE_PIDS=()

stop_services() {
  local pid
  for pid in "${PELLAM_SERVICE_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${PELLAM_SERVICE_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  PELLAM_SERVICE_PIDS=()
  if [ -n "${PELLAM_RUNTIME_DIR:-}" ]; then rm -rf "$PELLAM_RUNTIME_DIR"; fi
}

start_pulse() {
  if ! command -v pulseaudio >/dev/null; then
    echo "services: pulseaudio is not installed; sound tests will skip" >&2
    return 0
  fi
  PELLAM_RUNTIME_DIR=$(mktemp -d /tmp/pellam-runtime-XXXXXX)
  chmod 700 "$PELLAM_RUNTIME_DIR"
  export XDG_RUNTIME_DIR="$PELLAM_RUNTIME_DIR"
  export PULSE_RUNTIME_PATH="$PELLAM_RUNTIME_DIR/pulse"
  # norewinds=1: without it every new stream stalls a second or two at its start.
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --system=false --disallow-exit \
    --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=testsink rate=44100 channels=2 norewinds=1" \
    >"$PELLAM_RUNTIME_DIR/pulse.log" 2>&1 &
  PELLAM_SERVICE_PIDS+=($!)
  local i
  for i in $(seq 1 100); do
    if pactl info >/dev/null 2>&1; then
      pactl set-default-sink testsink >/dev/null 2>&1 || true
      export PELLAM_SOUND_SERVER=1
      return 0
    fi
    sleep 0.1
  done
  echo "services: the sound server did not start; sound tests will skip" >&2
  cat "$PELLAM_RUNTIME_DIR/pulse.log" >&2 || true
}

start_xvfb() {
  if ! command -v Xvfb >/dev/null; then return 0; fi
  # Xvfb picks a free display itself and writes its number to the descriptor
  # it is given, so two runs side by side never meet on one display.
  local fifo="${PELLAM_RUNTIME_DIR:-$(mktemp -d /tmp/pellam-runtime-XXXXXX)}/xvfb-display"
  if [ -z "${PELLAM_RUNTIME_DIR:-}" ]; then PELLAM_RUNTIME_DIR=$(dirname "$fifo"); fi
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  PELLAM_SERVICE_PIDS+=($!)
  local number=""
  read -r -t 10 number <"$fifo" || true
  rm -f "$fifo"
  if [ -n "$number" ]; then
    export PELLAM_XVFB_DISPLAY=":$number"
    return 0
  fi
  echo "services: Xvfb did not start" >&2
}

start_services() {
  trap stop_services EXIT
  start_pulse
  start_xvfb
}
