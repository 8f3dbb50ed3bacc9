// The browser side of the web backend (an Emscripten JS library): handing the
// thread to the page for a while or until the next display frame, the canvas,
// and the wave devices' sinks in the audio graph.
//
// The page (index.html) makes the AudioContext at the reader's first gesture
// and leaves it in Module.orvellaAudio = {context, worklet}, with the sink
// processor (wave_sink.js) loaded into the context's worklet when it can be.

mergeInto(LibraryManager.library, {
  $MagWeb: {
    frameArrived: false,
    framePending: false,
    wake: null,          // ends the current wait early (a frame came)
    channel: null,       // zero-delay wake-ups, which setTimeout clamps
    image: null,
    sinks: [null],
    // For the page's own measurement.
    stats: {frames: 0, waitingMs: 0, backgroundMs: 0, threadsMs: 0, presentingMs: 0, framesPlayed: 0, framesAudible: 0,
            framesStarved: 0, startedAt: 0, at: 0},
    // Module.orvellaRecordFrames > 0: each sink keeps its first frames for tests.
    recordings: [],

    canvas: function() { return Module.canvas || document.getElementById('canvas'); },
  },

  mag_web_request_frame__deps: ['$MagWeb'],
  mag_web_request_frame: function() {
    MagWeb.frameArrived = false;
    if (MagWeb.framePending) return;
    MagWeb.framePending = true;
    requestAnimationFrame(function() {
      MagWeb.framePending = false;
      MagWeb.frameArrived = true;
      if (MagWeb.wake) MagWeb.wake();
    });
  },

  mag_web_wait__deps: ['$MagWeb', '$Asyncify', '$callUserCallback'],
  mag_web_wait: function(timeoutMs, untilFrame) {
    return Asyncify.handleSleep(function(wakeUp) {
      if (untilFrame && MagWeb.frameArrived) {
        MagWeb.frameArrived = false;
        wakeUp(1);
        return;
      }
      var timer = 0;
      var finish = function() {
        if (timer) clearTimeout(timer);
        MagWeb.wake = null;
        var frame = untilFrame && MagWeb.frameArrived;
        if (frame) MagWeb.frameArrived = false;
        callUserCallback(function() { wakeUp(frame ? 1 : 0); });
      };
      if (untilFrame) MagWeb.wake = finish;
      if (timeoutMs > 0 || untilFrame) {
        timer = setTimeout(function() { timer = 0; finish(); }, Math.max(0, timeoutMs));
      } else {
        if (!MagWeb.channel) MagWeb.channel = new MessageChannel();
        MagWeb.channel.port1.onmessage = finish;
        MagWeb.channel.port2.postMessage(0);
      }
    });
  },

  // The surface is RGBA in memory; the alpha bytes are set before it is shown.
  mag_web_canvas_put__deps: ['$MagWeb'],
  mag_web_canvas_put: function(pixels, width, height) {
    var canvas = MagWeb.canvas();
    if (!canvas) return;
    var context = canvas.getContext('2d');
    var image = MagWeb.image;
    // A grown memory is a new buffer: the old view would be empty.
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== pixels || image.width !== width)
      MagWeb.image = image = new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4), width, height);
    context.putImageData(image, 0, 0);
  },

  mag_web_note_frame__deps: ['$MagWeb'],
  mag_web_note_frame: function(waitingMs, backgroundMs, threadsMs, presentingMs) {
    var stats = MagWeb.stats;
    stats.at = performance.now();
    if (!stats.startedAt) stats.startedAt = stats.at;
    stats.frames += 1;
    stats.waitingMs = waitingMs;
    stats.backgroundMs = backgroundMs;
    stats.threadsMs = threadsMs;
    stats.presentingMs = presentingMs;
    Module.orvellaStats = stats;
  },

  mag_audio_open__deps: ['$MagWeb'],
  mag_audio_open: function(channels, samplesPerSecond) {
    var audio = Module.orvellaAudio;
    if (!audio || !audio.context) return 0;
    var context = audio.context;
    if (context.sampleRate !== samplesPerSecond) return -1;
    var sink = {played: 0, epoch: 0, node: null, post: null};
    try {
      if (audio.worklet) {
        sink.node = new AudioWorkletNode(context, 'orvella-wave-sink', {
          numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
          processorOptions: {channels: channels, recordFrames: Module.orvellaRecordFrames || 0}});
        sink.node.port.onmessage = function(event) {
          var report = event.data;
          if (report.recording) {
            MagWeb.recordings.push(report);
            Module.orvellaRecordings = MagWeb.recordings;
            return;
          }
          MagWeb.stats.framesStarved += report.starved;
          if (report.epoch !== sink.epoch || report.played <= sink.played) return;
          MagWeb.stats.framesPlayed += report.played - sink.played;
          MagWeb.stats.framesAudible += report.audible;
          sink.played = report.played;
        };
        sink.post = function(message, transfer) { sink.node.port.postMessage(message, transfer || []); };
      } else {
        var player = new OrvellaWaveSink(channels, Module.orvellaRecordFrames || 0);
        sink.node = context.createScriptProcessor(2048, 0, 2);
        sink.node.onaudioprocess = function(event) {
          var out = event.outputBuffer;
          var audible = player.render(out.getChannelData(0), out.getChannelData(1));
          if (player.recording && player.recorded === player.recording.length) {
            MagWeb.recordings.push({recording: player.recording, channels: channels});
            Module.orvellaRecordings = MagWeb.recordings;
            player.recording = null;
          }
          if (player.played > sink.played) MagWeb.stats.framesPlayed += player.played - sink.played;
          MagWeb.stats.framesAudible += audible;
          MagWeb.stats.framesStarved += player.starved;
          player.starved = 0;
          sink.played = player.played;
        };
        sink.post = function(message) { player.handle(message); };
      }
      sink.node.connect(context.destination);
    } catch (e) {
      err('wave output: ' + e);
      return 0;
    }
    var id = MagWeb.sinks.indexOf(null, 1);
    if (id < 0) id = MagWeb.sinks.push(null) - 1;
    MagWeb.sinks[id] = sink;
    return id;
  },

  mag_audio_push__deps: ['$MagWeb'],
  mag_audio_push: function(id, data, bytes) {
    var samples = HEAP16.slice(data >> 1, (data + bytes) >> 1);
    MagWeb.sinks[id].post({kind: 'samples', samples: samples}, [samples.buffer]);
  },

  mag_audio_played__deps: ['$MagWeb'],
  mag_audio_played: function(id) { return MagWeb.sinks[id].played; },

  mag_audio_pause__deps: ['$MagWeb'],
  mag_audio_pause: function(id, paused) { MagWeb.sinks[id].post({kind: 'pause', paused: !!paused}); },

  mag_audio_flush__deps: ['$MagWeb'],
  mag_audio_flush: function(id) {
    var sink = MagWeb.sinks[id];
    sink.epoch += 1;
    sink.played = 0;
    sink.post({kind: 'flush', epoch: sink.epoch});
  },

  mag_audio_close__deps: ['$MagWeb'],
  mag_audio_close: function(id) {
    var sink = MagWeb.sinks[id];
    sink.post({kind: 'close'});
    sink.node.disconnect();
    MagWeb.sinks[id] = null;
  },
});
